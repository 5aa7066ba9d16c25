#include "app/messages.h"

#include <QCoreApplication>

#include <array>
#include <iterator>
#include <utility>

namespace radmtf {

namespace {

constexpr const char* kContext = "radmtf::Messages";

// Japanese source texts: the ones users of the program compare against their
// operating procedures. %1, %2 are the failure's arguments in order.
constexpr std::pair<FailureCode, const char*> kFailureTexts[] = {
#define RADMTF_FAILURE(code, name, text) {FailureCode::code, text},
#include "core/failure_catalogue.h"
#undef RADMTF_FAILURE
};

constexpr const char* kNoticeTexts[] = {
    QT_TRANSLATE_NOOP("radmtf::Messages", "トリミングした画像を保存しました。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "外挿開始点が指定されていません。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "Matrix Size x y , "),
    QT_TRANSLATE_NOOP("radmtf::Messages", "ﾋﾟｸｾﾙ間隔(mm)を入力してください。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "MTF がまだ測定されていません。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "上限は --max-decoded-mb で変えられます。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "--roi で指定してください。"),
};
static_assert(std::size(kNoticeTexts) == static_cast<std::size_t>(Notice::kTypeRoi) + 1);

constexpr const char* kUsageTexts[] = {
    QT_TRANSLATE_NOOP("radmtf::Messages", "測定方法 slit、chart または edge を指定してください。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "%1 は知らないオプションです。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "%1 に値がありません。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "%1 の値 '%2' は使えません。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "測定するファイルまたはフォルダーを指定してください。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "%1 はこの測定方法では使えません。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "開く画像ファイルは 1 つだけ指定してください。"),
};
static_assert(std::size(kUsageTexts) == static_cast<std::size_t>(UsageProblem::kTooManyImages) + 1);

// Fills all blanks at once, so an argument that itself holds "%2" stays as it is.
constexpr const char* kUsageHint =
    QT_TRANSLATE_NOOP("radmtf::Messages", "使い方は radmtf measure --help で表示されます。");
constexpr const char* kProgramUsageHint =
    QT_TRANSLATE_NOOP("radmtf::Messages", "使い方は radmtf --help で表示されます。");
constexpr const char* kProgramHelp = QT_TRANSLATE_NOOP(
    "radmtf::Messages",
    "usage: radmtf [options] [IMAGE]\n"
    "       radmtf measure slit|chart|edge FILE|FOLDER... [options]   (radmtf measure --help)\n"
    "\n"
    "X 線検出器のプリサンプル MTF を測定し、DICOM と raw 画像を表示します。\n"
    "\n"
    "  IMAGE                 起動時に開く DICOM または raw 画像ファイル\n"
    "  --script FILE         スクリプト FILE (- は標準入力) をウィンドウに対して実行して終了します。\n"
    "                        IMAGE はその前に開きます\n"
    "  --lang ja|en          表示の言語 (既定: 環境変数 RADMTF_LANG、なければ ja)\n"
    "  -h, --help            この説明を表示して終了します\n"
    "  -v, --version         版を表示して終了します\n");
constexpr const char* kUndecodableNoSyntax =
    QT_TRANSLATE_NOOP("radmtf::Messages", "転送構文 %1 の画素データを読み込めません。");
constexpr const char* kNoSyntax = QT_TRANSLATE_NOOP("radmtf::Messages", "(なし)");
constexpr const char* kInternalError =
    QT_TRANSLATE_NOOP("radmtf::Messages", "内部エラーのため処理を中止しました。");
constexpr const char* kFailedMark = QT_TRANSLATE_NOOP("radmtf::Messages", "failed: %1");
constexpr const char* kMeasureHelp = QT_TRANSLATE_NOOP(
    "radmtf::Messages",
    "usage: radmtf measure slit|chart|edge FILE|FOLDER... [options]\n"
    "       radmtf measure nnps FILE|FOLDER... [options]\n"
    "       radmtf measure conversion FILE... --kerma-file CSV [options]\n"
    "       radmtf measure dqe --flat FILE|FOLDER... --edge FILE... --kerma K --quality Q [options]\n"
    "\n"
    "画像から MTF を測定します。フォルダーはその中のファイルを名前順にすべて測定します。\n"
    "既定値は解析ウィンドウの既定値です。edge は ROI の中の傾いたエッジから測定し、\n"
    "向きと角度を画像から求めます (プロファイルと MTF のオプションは使いません)。\n"
    "\n"
    "画像:\n"
    "  --mode dicom|raw16|raw8   ファイルの形式 (既定: dicom)\n"
    "  --size W,H                画像の列数と行数 (raw では必須、dicom ではファイルの値を上書き)\n"
    "  --header N                画素データの前のバイト数 (既定: 0、dicom ではファイルの値)\n"
    "  --offset N                画素値に加える値 (既定: 0、dicom ではファイルの値)\n"
    "  --swap                    画素のバイト順を入れ替える (dicom ではファイルの値)\n"
    "  --roi X,Y,W,H             ROI の中心と大きさ (既定: 画像から対象を探す。edge は見つけたエッジ\n"
    "                            ごとに 1 つの結果、edge_direction と edge_index 付き)\n"
    "  --search X,Y,W,H          対象を探す範囲: 左上の列と行、幅と高さ (既定: 画像全体)\n"
    "  --direction vertical|horizontal|both  edge で探すエッジの向き (既定: both)\n"
    "\n"
    "プロファイル:\n"
    "  --orientation 1..4|auto   スリットの向き、ボタン 1..4 (既定: 1)。auto は画像から推定\n"
    "  --ma-line M|auto          1 画素ずれる行数 MA-Line# (既定: 17)。auto は画像から推定\n"
    "  --smooth N                移動平均の幅 (既定: 1、平均しない)\n"
    "  --extract                 平坦な両端を切り、2048 点以下に間引く (既定: しない)\n"
    "  --no-check                従来の slit と chart で、Auto と同じ推定でスリットまたはチャートを\n"
    "                            確かめない (既定: 見つからなければ測定せず、向きや MA-Line# が\n"
    "                            推定と 10 % 以上違えば警告する)\n"
    "\n"
    "露光量:\n"
    "  --pixel-spacing MM        画素間隔 0.001～10 (既定: ファイルの Imager Pixel Spacing、なければ Pixel "
    "Spacing)\n"
    "  --log-exposure-area L     画素値の範囲が表す露光量の桁数 L (既定: 4)\n"
    "  --bits B                  BitsStored (既定: DICOM ファイルの値、なければ 12)\n"
    "  --hdc FILE                特性曲線ファイル (既定: 使わない)\n"
    "  --conversion C            検出器の変換関数 (linear:…、log:…、file:…、既定: model、下のノイズを参照)\n"
    "\n"
    "MTF:\n"
    "  --precise                 精密モード: ROI のすべての行を使い、不確かさ u_mtf を付ける\n"
    "                            (slit と chart、既定: 従来の方法)\n"
    "  --slit-width MM           精密スリットでスリット幅を補正する幅 (既定: 0.01、0 は補正しない)\n"
    "  --truncate-at INDEX       LSF の左の裾の外挿開始点 (既定: 外挿しない、従来の slit のみ)\n"
    "  --fit-degree N            多項式の次数 1..16 (既定: 7)\n"
    "  --fit-up-to F             フィットする周波数 2.0|2.5|3.0|4.0|5.0|6.0\n"
    "                            (既定: chart は測定できた周波数まで、slit と精密モードはフィットしない)\n"
    "                            フィットした値は各点の mtf_fit、JSON では次数と係数も\n"
    "  --lsf-range MM            LSF をスリットまたはエッジから ± この距離まで使う\n"
    "                            (精密スリットと edge、既定: 2.5、edge の 0 は ROI の全体)\n"
    "\n"
    "エッジ (edge のみ):\n"
    "  --edge-bin PX             ESF のビンの幅 (画素、0.01～1、既定: 0.1)\n"
    "  --edge-taper F            LSF の範囲の外側のこの割合をなめらかに減らす (0～1、既定: 0.5)\n"
    "  --edge-core MM            この距離 (± mm) までの LSF はどの周波数でも重み 1 (既定: 1、0 は分けない)\n"
    "  --edge-cutoff F           その外側の LSF の重みの遮断周波数 (cycles/mm、既定: 2)\n"
    "  --edge-smoothing F        MTF を平均する周波数の幅 (cycles/mm、既定: 0、平均しない)\n"
    "  --edge-adaptive C         周波数 f で ± C / f mm の LSF を使う窓 (コアと遮断の代わり、既定: 0、使わない)\n"
    "  --edge-reach K            LSF の範囲を LSF の届く距離の K 倍に狭める (既定: 3、0 は狭めない)\n"
    "\n"
    "ノイズ (nnps と conversion、ほかに --pixel-spacing --log-exposure-area --bits --format --output):\n"
    "  --conversion C            nnps: 画素値から空気カーマへの変換\n"
    "                            model|linear:OFFSET,GAIN|log:C0,C1[,KREF]|hdc:FILE|file:PATH (既定: model)\n"
    "  --kerma K                 nnps: 検出器面の空気カーマ (µGy、設定として記録する)\n"
    "  --kerma-file CSV          conversion: 「ファイル,カーマ」の行 (必須)\n"
    "  --nnps-image PNG          nnps: 2 次元 NNPS を対数の濃淡で描いた PNG\n"
    "\n"
    "DQE (dqe、ほかに --conversion --pixel-spacing --log-exposure-area --bits と出力のオプション):\n"
    "  --flat FILE|FOLDER        平坦画像 (繰り返し可、後に続くファイルも平坦画像)\n"
    "  --edge FILE               エッジ画像 (繰り返し可、縦のエッジは u、横のエッジは v の MTF)\n"
    "  --kerma K                 検出器面の空気カーマ (µGy、必須)\n"
    "  --quality Q               線質 RQA3|RQA5|RQA7|RQA9 (必須)\n"
    "  --snr-table 2015|2003     SNR²_in の表の版 (既定: 2015)\n"
    "  --snr2 V                  表の代わりに使う SNR²_in (1/(mm²·µGy))\n"
    "  --mtf-u CSV, --mtf-v CSV  エッジ画像の代わりに使う measure の MTF (CSV または JSON)\n"
    "\n"
    "出力:\n"
    "  --format csv|json|table   出力形式 (既定: 端末なら table、それ以外は csv)\n"
    "  --output PATH             標準出力の代わりに書くファイル\n"
    "  --report PATH             1 ファイル 1 ページの PDF レポートも書く\n"
    "  --institution TEXT        レポートに載せる施設名\n"
    "  --operator TEXT           レポートに載せる測定者\n"
    "  --note TEXT               レポートに載せるメモ\n"
    "  --lang ja|en              表示の言語 (既定: 環境変数 RADMTF_LANG、なければ ja)\n"
    "  --jobs N                  同時に測定するファイルの数 (既定: CPU のコア数)\n"
    "  --max-decoded-mb N        1 ファイルの画素の復号に使えるメモリ (MB、既定: 1024)\n"
    "  --help                    この説明\n"
    "\n"
    "終了コード: 0 すべて測定できた、1 測定できないファイルがあった、2 使い方の誤り\n");

// Fills all blanks at once, so an argument that itself holds "%2" stays as it is.
QString Fill(const char* source, const std::vector<std::string>& args)
{
    const QString text = QCoreApplication::translate(kContext, source);
    switch (args.size()) {
        case 0:
            return text;
        case 1:
            return text.arg(QString::fromStdString(args[0]));
        case 2:
            return text.arg(QString::fromStdString(args[0]), QString::fromStdString(args[1]));
        default:
            return text.arg(QString::fromStdString(args[0]), QString::fromStdString(args[1]),
                            QString::fromStdString(args[2]));
    }
}

}  // namespace

QString FailureText(FailureCode code, const std::vector<std::string>& args)
{
    // A file without a transfer syntax names none.
    if (code == FailureCode::kUndecodablePixelData && (args.empty() || args[0].empty()))
        return Fill(kUndecodableNoSyntax, {}).arg(QCoreApplication::translate(kContext, kNoSyntax));
    for (const auto& [entry, source] : kFailureTexts)
        if (entry == code) return Fill(source, args);
    return QString::fromUtf8(FailureCodeName(code).data(),
                             static_cast<qsizetype>(FailureCodeName(code).size()));
}

QString FailureText(const Failure& failure)
{
    return FailureText(failure.code(), failure.args());
}

QString InternalErrorText(const QString& detail)
{
    const QString text = QCoreApplication::translate(kContext, kInternalError);
    return detail.isEmpty() ? text : text + " (" + detail + ")";
}

QString NoticeText(Notice notice)
{
    return QCoreApplication::translate(kContext, kNoticeTexts[static_cast<std::size_t>(notice)]);
}

QString UsageText(UsageProblem problem, const std::vector<std::string>& args)
{
    return Fill(kUsageTexts[static_cast<std::size_t>(problem)], args);
}

QString UsageHintText()
{
    return QCoreApplication::translate(kContext, kUsageHint);
}

QString FailedMark(const QString& message)
{
    return QCoreApplication::translate(kContext, kFailedMark).arg(message);
}

QString ProgramHelpText()
{
    return QCoreApplication::translate(kContext, kProgramHelp);
}

QString ProgramUsageHintText()
{
    return QCoreApplication::translate(kContext, kProgramUsageHint);
}

QString MeasureHelpText()
{
    return QCoreApplication::translate(kContext, kMeasureHelp);
}

}  // namespace radmtf
