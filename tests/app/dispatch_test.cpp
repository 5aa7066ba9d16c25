// The slot boundary: every failure a handler throws is caught there, shown
// once, and the program goes on; a failure of a handler that a running
// action set off ends that action where it set it off.
#include <gtest/gtest.h>

#include <QPushButton>

#include "app/controls.h"
#include "app/dispatch.h"
#include "app/prompter.h"
#include "core/failure.h"

namespace radmtf {
namespace {

class Messages : public Prompter {
public:
    std::optional<QString> openFile(const QString&) override { return std::nullopt; }
    QString inputBox(const QString&, const QString&, const QString& proposed) override { return proposed; }
    void message(const QString& text) override { shown.push_back(text.toStdString()); }
    std::vector<std::string> shown;
};

class Dispatching : public ::testing::Test {
protected:
    void SetUp() override { SetPrompter(&messages); }
    void TearDown() override { SetPrompter(nullptr); }
    Messages messages;
};

TEST_F(Dispatching, EveryKindOfFailureIsShownAndTheProgramGoesOn)
{
    QPushButton button;
    int thrown = 0;
    struct Handler {
        int* count;
        void Click()
        {
            switch ((*count)++) {
                case 0:
                    ThrowFailure(FailureCode::kNoSignal);
                case 1:
                    throw std::invalid_argument("RunSlitMethod: exposure profile out of shape");
                default:
                    throw 42;
            }
        }
    } handler{&thrown};
    QObject::connect(&button, &QPushButton::clicked, &button, Guarded(&handler, &Handler::Click));
    for (int i = 0; i < 3; ++i) button.click();  // through the toolkit's own frames
    EXPECT_EQ(messages.shown, (std::vector<std::string>{
                                  "抽出する信号がありません。",
                                  "内部エラーのため処理を中止しました。 (RunSlitMethod: exposure profile "
                                  "out of shape)",
                                  "内部エラーのため処理を中止しました。"}));
}

TEST_F(Dispatching, ANestedHandlersFailureEndsTheActionThatSetItOff)
{
    RadioGroup group("", {"a", "b"}, 1, nullptr);
    struct Handler {
        void Click() { ThrowFailure(FailureCode::kChartNotFound); }
    } handler;
    QObject::connect(&group, &RadioGroup::clicked, &group, Guarded(&handler, &Handler::Click));
    bool reached = false;
    EXPECT_FALSE(Dispatch([&] {
        group.setItemIndex(1);
        reached = true;
    }));
    EXPECT_FALSE(reached);
    EXPECT_EQ(group.itemIndex(), 1);
    EXPECT_EQ(messages.shown, std::vector<std::string>{"チャートのパターンが見つかりません。"});
}

}  // namespace
}  // namespace radmtf
