#include "app/message_translation.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <iterator>

namespace radmtf {

namespace {

constexpr const char* kContext = "radmtf::Messages";

// Every message and prompt of the program, the Japanese source texts.
constexpr const char* kMessages[] = {
    QT_TRANSLATE_NOOP("radmtf::Messages", "'%1' は整数ではありません"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "'%1' は浮動小数点数ではありません"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "ファイル %1 は開けません"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "ファイル %1 を作成できません"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "リストのインデックスが範囲を超えています (%1)"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "0 による浮動小数点数除算"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "不正な浮動小数点数演算命令"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "浮動小数点数オーバーフロー"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "0 による除算"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "メモリが不足しています"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "表示する画像が大きすぎます。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "表示位置が画像から離れすぎています。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "トリミングする範囲がありません。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "トリミングする範囲が大きすぎます。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "トリミングする画像がありません。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "ROIが画像の外にはみ出しています。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "ROIが大きすぎます。"),
    QT_TRANSLATE_NOOP("radmtf::Messages",
                      "プロファイルの点数が上限の 100001 点を超えます。MA-Line# を小さくしてください。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "抽出する信号がありません。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "チャートのパターンが見つかりません。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "次数は 1 から 16 の範囲で指定してください。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "選択した周波数までの MTF が測定されていません。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "フィッティングする周波数の範囲が広すぎます。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "画素間隔が正しくありません。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "選択した点は LSF の範囲外です。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "外挿開始点が LSF の範囲外です。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "外挿開始点はピークより左側で指定してください。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "フィット範囲の点数が多すぎます。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "左側の裾が外側に向かって減少していないため、外挿できません。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "右側の裾が外側に向かって減少していないため、外挿できません。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "右側の裾に外挿開始点の値まで下がる点がありません。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "外挿した LSF がデータ領域に収まりません。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "内部エラーのため処理を中止しました。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "トリミングした画像を保存しました。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "外挿開始点が指定されていません。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "Matrix Size x y , "),
    QT_TRANSLATE_NOOP("radmtf::Messages", "ﾋﾟｸｾﾙ間隔(mm)を入力してください。"),
};

}  // namespace

QString TranslatedMessage(const QString& japanese)
{
    for (const char* source : kMessages) {
        const QString pattern = QString::fromUtf8(source);
        if (!pattern.contains("%1")) {
            if (pattern == japanese) return QCoreApplication::translate(kContext, source);
            continue;
        }
        const QStringList parts = pattern.split("%1");
        const QRegularExpression whole(
            QRegularExpression::anchoredPattern(QRegularExpression::escape(parts[0]) + "(.*)" +
                                                QRegularExpression::escape(parts[1])),
            QRegularExpression::DotMatchesEverythingOption);
        const QRegularExpressionMatch match = whole.match(japanese);
        if (match.hasMatch()) return QCoreApplication::translate(kContext, source).arg(match.captured(1));
    }
    return japanese;
}

}  // namespace radmtf
