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
    {FailureCode::kNotInteger, QT_TRANSLATE_NOOP("radmtf::Messages", "'%1' は整数ではありません")},
    {FailureCode::kNotFloat, QT_TRANSLATE_NOOP("radmtf::Messages", "'%1' は浮動小数点数ではありません")},
    {FailureCode::kCannotOpen, QT_TRANSLATE_NOOP("radmtf::Messages", "ファイル %1 は開けません")},
    {FailureCode::kCannotCreate, QT_TRANSLATE_NOOP("radmtf::Messages", "ファイル %1 を作成できません")},
    {FailureCode::kListIndex,
     QT_TRANSLATE_NOOP("radmtf::Messages", "リストのインデックスが範囲を超えています (%1)")},
    {FailureCode::kZeroDivide, QT_TRANSLATE_NOOP("radmtf::Messages", "0 による浮動小数点数除算")},
    {FailureCode::kInvalidOperation, QT_TRANSLATE_NOOP("radmtf::Messages", "不正な浮動小数点数演算命令")},
    {FailureCode::kOverflow, QT_TRANSLATE_NOOP("radmtf::Messages", "浮動小数点数オーバーフロー")},
    {FailureCode::kIntegerDivide, QT_TRANSLATE_NOOP("radmtf::Messages", "0 による除算")},
    {FailureCode::kOutOfMemory, QT_TRANSLATE_NOOP("radmtf::Messages", "メモリが不足しています")},
    {FailureCode::kBitmapTooLarge, QT_TRANSLATE_NOOP("radmtf::Messages", "表示する画像が大きすぎます。")},
    {FailureCode::kViewTooFar, QT_TRANSLATE_NOOP("radmtf::Messages", "表示位置が画像から離れすぎています。")},
    {FailureCode::kTrimEmpty, QT_TRANSLATE_NOOP("radmtf::Messages", "トリミングする範囲がありません。")},
    {FailureCode::kTrimTooLarge, QT_TRANSLATE_NOOP("radmtf::Messages", "トリミングする範囲が大きすぎます。")},
    {FailureCode::kNothingToTrim, QT_TRANSLATE_NOOP("radmtf::Messages", "トリミングする画像がありません。")},
    {FailureCode::kRoiOutsideImage,
     QT_TRANSLATE_NOOP("radmtf::Messages", "ROIが画像の外にはみ出しています。")},
    {FailureCode::kTableTooLarge, QT_TRANSLATE_NOOP("radmtf::Messages", "ROIが大きすぎます。")},
    {FailureCode::kProfileTooLong,
     QT_TRANSLATE_NOOP("radmtf::Messages",
                       "プロファイルの点数が上限の 100001 点を超えます。MA-Line# を小さくしてください。")},
    {FailureCode::kNoSignal, QT_TRANSLATE_NOOP("radmtf::Messages", "抽出する信号がありません。")},
    {FailureCode::kChartNotFound,
     QT_TRANSLATE_NOOP("radmtf::Messages", "チャートのパターンが見つかりません。")},
    {FailureCode::kDegreeOutOfRange,
     QT_TRANSLATE_NOOP("radmtf::Messages", "次数は 1 から 16 の範囲で指定してください。")},
    {FailureCode::kNotMeasured,
     QT_TRANSLATE_NOOP("radmtf::Messages", "選択した周波数までの MTF が測定されていません。")},
    {FailureCode::kFrequencyRangeTooWide,
     QT_TRANSLATE_NOOP("radmtf::Messages", "フィッティングする周波数の範囲が広すぎます。")},
    {FailureCode::kBadPixelSpacing, QT_TRANSLATE_NOOP("radmtf::Messages", "画素間隔が正しくありません。")},
    {FailureCode::kPickOutside, QT_TRANSLATE_NOOP("radmtf::Messages", "選択した点は LSF の範囲外です。")},
    {FailureCode::kStartOutside, QT_TRANSLATE_NOOP("radmtf::Messages", "外挿開始点が LSF の範囲外です。")},
    {FailureCode::kStartNotLeftOfPeak,
     QT_TRANSLATE_NOOP("radmtf::Messages", "外挿開始点はピークより左側で指定してください。")},
    {FailureCode::kFitRangeTooLong,
     QT_TRANSLATE_NOOP("radmtf::Messages", "フィット範囲の点数が多すぎます。")},
    {FailureCode::kLeftTailNotFalling,
     QT_TRANSLATE_NOOP("radmtf::Messages", "左側の裾が外側に向かって減少していないため、外挿できません。")},
    {FailureCode::kRightTailNotFalling,
     QT_TRANSLATE_NOOP("radmtf::Messages", "右側の裾が外側に向かって減少していないため、外挿できません。")},
    {FailureCode::kRightStartNotFound,
     QT_TRANSLATE_NOOP("radmtf::Messages", "右側の裾に外挿開始点の値まで下がる点がありません。")},
    {FailureCode::kExtensionTooLong,
     QT_TRANSLATE_NOOP("radmtf::Messages", "外挿した LSF がデータ領域に収まりません。")},
    {FailureCode::kEmptyProfile,
     QT_TRANSLATE_NOOP("radmtf::Messages", "プロファイルがありません。2Dto1D を実行してください。")},
    {FailureCode::kEmptyLsf,
     QT_TRANSLATE_NOOP("radmtf::Messages", "LSF がありません。ToExp を実行してください。")},
    {FailureCode::kCurveLineUnreadable,
     QT_TRANSLATE_NOOP("radmtf::Messages",
                       "ファイル %1 の %2 行目が読めません: '%3' は浮動小数点数ではありません")},
    {FailureCode::kDecodedImageTooLarge,
     QT_TRANSLATE_NOOP("radmtf::Messages", "読み込む画像が大きすぎます。")},
    {FailureCode::kValuesBeyond16Bits,
     QT_TRANSLATE_NOOP("radmtf::Messages",
                       "画素値が16ビットの範囲に収まりません。この画像は表示できません。")},
    {FailureCode::kUndecodablePixelData,
     QT_TRANSLATE_NOOP("radmtf::Messages", "転送構文 %1 の画素データを読み込めません。")},
    {FailureCode::kNoImageSize,
     QT_TRANSLATE_NOOP("radmtf::Messages", "画像の大きさが分かりません。--size で指定してください。")},
    {FailureCode::kNoPixelSpacing,
     QT_TRANSLATE_NOOP("radmtf::Messages", "画素間隔が分かりません。--pixel-spacing で指定してください。")},
    {FailureCode::kNotAFile, QT_TRANSLATE_NOOP("radmtf::Messages", "%1 は画像ファイルではありません。")},
    {FailureCode::kNoTiltedObject,
     QT_TRANSLATE_NOOP("radmtf::Messages",
                       "ROI の中に傾いたスリット、エッジまたはチャートが見つかりません。")},
    {FailureCode::kNoBackground,
     QT_TRANSLATE_NOOP(
         "radmtf::Messages",
         "スリットの両側に背景 (中心から 3 mm 以上離れた部分) が必要です。ROI を広げてください。")},
    {FailureCode::kGeometryMismatch,
     QT_TRANSLATE_NOOP("radmtf::Messages",
                       "選択した向きまたは MA-Line# が画像からの推定 (%1) と 10 % 以上違います。")},
    {FailureCode::kEdgeNotFound, QT_TRANSLATE_NOOP("radmtf::Messages", "ROIにエッジが見つかりません。")},
    {FailureCode::kEdgeTwoEdges,
     QT_TRANSLATE_NOOP("radmtf::Messages",
                       "ROIにエッジが2本以上あります。エッジが1本だけ入るようにROIを選んでください。")},
    {FailureCode::kEdgeAngle,
     QT_TRANSLATE_NOOP("radmtf::Messages", "エッジの傾きが 0.5°～10° の範囲にありません (%1°)")},
    {FailureCode::kEdgeSettings, QT_TRANSLATE_NOOP("radmtf::Messages",
                                                   "エッジ法の設定が範囲外です (画素間隔 > 0、ビン幅 0.01～1 "
                                                   "画素、窓・芯 ≥ 0 mm、テーパ 0～1、周波数 ≥ 0)。")},
    {FailureCode::kTooManyValues, QT_TRANSLATE_NOOP("radmtf::Messages", "ROIの画素値の種類が多すぎます。")},
    {FailureCode::kSlitWidth,
     QT_TRANSLATE_NOOP(
         "radmtf::Messages",
         "スリット幅 %1 mm は使えません。%3 cycles/mm まで補正するには 0 以上 %2 mm 未満にしてください。")},
    {FailureCode::kProcessedImage,
     QT_TRANSLATE_NOOP(
         "radmtf::Messages",
         "画像は表示用に処理されています (%1)。処理された画像の MTF は検出器の MTF ではありません。")},
    {FailureCode::kInvertedValues,
     QT_TRANSLATE_NOOP("radmtf::Messages",
                       "MONOCHROME1 の画像です。画素値を反転 (%1 - 画素値) して測定しました。")},
    {FailureCode::kInvertedWithCurve,
     QT_TRANSLATE_NOOP("radmtf::Messages",
                       "MONOCHROME1 の画像は特性曲線ファイルでは露光量に変換できません。")},
    {FailureCode::kBitsStoredDiffers,
     QT_TRANSLATE_NOOP("radmtf::Messages",
                       "ファイルの BitsStored は %1 ですが、解析画面の BitsStored は %2 です。")},
    {FailureCode::kSpacingsDiffer,
     QT_TRANSLATE_NOOP("radmtf::Messages",
                       "Imager Pixel Spacing (%1 mm) と Pixel Spacing (%2 mm) が違います。Pixel Spacing "
                       "を使います。検出器の MTF には Imager Pixel Spacing が正しい値です。")},
    {FailureCode::kNotRegularTarget,
     QT_TRANSLATE_NOOP("radmtf::Messages", "%1 は通常のファイルではないので、書き込みません。")},
    {FailureCode::kOutputIsInput,
     QT_TRANSLATE_NOOP("radmtf::Messages", "%1 は測定するファイルなので、上書きしません。")},
    {FailureCode::kStandardOutput, QT_TRANSLATE_NOOP("radmtf::Messages", "標準出力に書き込めません。")},
    {FailureCode::kPixelSpacingRange,
     QT_TRANSLATE_NOOP("radmtf::Messages", "画素間隔 %1 mm は範囲 (0.001～10 mm) の外です。")},
    {FailureCode::kObjectNotFound,
     QT_TRANSLATE_NOOP(
         "radmtf::Messages",
         "画像に測定する対象 (エッジ、スリット、チャート) が見つかりません。--roi で指定してください。")},
    {FailureCode::kNnpsNoRoi,
     QT_TRANSLATE_NOOP("radmtf::Messages",
                       "解析範囲 (%1 画素) に 256 × 256 画素の ROI が 1 つも入りません。")},
    {FailureCode::kNnpsMixedImages,
     QT_TRANSLATE_NOOP("radmtf::Messages", "%1 の画像サイズまたは画素間隔が最初の画像と違います。")},
    {FailureCode::kNnpsNonPositiveKerma,
     QT_TRANSLATE_NOOP("radmtf::Messages", "%2 の %1 画素は変換関数で正の空気カーマになりません。")},
    {FailureCode::kNnpsSaturated,
     QT_TRANSLATE_NOOP("radmtf::Messages", "%2 の解析範囲に最大値で飽和した画素が %1 個あります。")},
    {FailureCode::kNnpsSmallArea,
     QT_TRANSLATE_NOOP("radmtf::Messages",
                       "画像が 125 mm × 125 mm より小さいため、画像全体 (%1 mm) を解析しました。")},
    {FailureCode::kNnpsFewPixels,
     QT_TRANSLATE_NOOP("radmtf::Messages", "独立な画素数 %1 は IEC 62220-1-1 の最小値 4,000,000 未満です。")},
    {FailureCode::kConversionFewKermas,
     QT_TRANSLATE_NOOP("radmtf::Messages",
                       "変換関数の測定には 3 つ以上の異なる空気カーマが必要です (%1 個)。")},
    {FailureCode::kConversionUnreadable,
     QT_TRANSLATE_NOOP("radmtf::Messages", "変換関数ファイル %1 の %2 行目が読めません。")},
    {FailureCode::kConversionSettings, QT_TRANSLATE_NOOP("radmtf::Messages", "変換関数 '%1' は使えません。")},
    {FailureCode::kConversionNoKerma,
     QT_TRANSLATE_NOOP("radmtf::Messages", "%2 に %1 の空気カーマがありません。")},
    {FailureCode::kDecodeBudgetExceeded,
     QT_TRANSLATE_NOOP("radmtf::Messages", "画素データの復号に %1 MB 必要で、上限 %2 MB を超えます。")},
    {FailureCode::kDecoderStopped,
     QT_TRANSLATE_NOOP("radmtf::Messages",
                       "%1 の画素データ (転送構文 %2) "
                       "の復号中にデコーダーが異常終了しました。このファイルは読み込みません。")},
    {FailureCode::kDecoderTimedOut,
     QT_TRANSLATE_NOOP("radmtf::Messages",
                       "%1 の画素データ (転送構文 %2) の復号が %3 秒で終わらないため中止しました。")},
    {FailureCode::kEdgeDirectionsDiffer,
     QT_TRANSLATE_NOOP("radmtf::Messages", "%1 枚目のエッジ画像のエッジは 1 枚目と向きが違います。")},
    {FailureCode::kDqeNoMtf,
     QT_TRANSLATE_NOOP("radmtf::Messages", "%1 方向の MTF がないため、その方向の DQE は求めません。")},
    {FailureCode::kDqeSettings, QT_TRANSLATE_NOOP("radmtf::Messages", "DQE の設定 '%1' は使えません。")},
    {FailureCode::kDqeMtfUnreadable,
     QT_TRANSLATE_NOOP("radmtf::Messages", "MTF ファイル %1 の %2 行目が読めません。")},
    {FailureCode::kDqeKermaMismatch,
     QT_TRANSLATE_NOOP("radmtf::Messages",
                       "平坦画像の平均空気カーマ %1 µGy は指定の %2 µGy と 5 % 以上違います。")},
    {FailureCode::kDqeImagesDiffer,
     QT_TRANSLATE_NOOP("radmtf::Messages", "エッジ画像 %1 の画像サイズまたは画素間隔が平坦画像と違います。")},
    {FailureCode::kDqeMtfShort,
     QT_TRANSLATE_NOOP(
         "radmtf::Messages",
         "%1 方向の MTF は %2 cycles/mm までしかなく、それより高い周波数の DQE はありません。")},
    {FailureCode::kDqeMtfNoCurve,
     QT_TRANSLATE_NOOP("radmtf::Messages",
                       "MTF ファイル %1 には 1 件の測定の MTF (周波数の昇順) がありません。")},
};
static_assert(std::size(kFailureTexts) == static_cast<std::size_t>(FailureCode::kDqeMtfNoCurve) + 1);

constexpr const char* kNoticeTexts[] = {
    QT_TRANSLATE_NOOP("radmtf::Messages", "トリミングした画像を保存しました。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "外挿開始点が指定されていません。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "Matrix Size x y , "),
    QT_TRANSLATE_NOOP("radmtf::Messages", "ﾋﾟｸｾﾙ間隔(mm)を入力してください。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "MTF がまだ測定されていません。"),
    QT_TRANSLATE_NOOP("radmtf::Messages", "上限は --max-decoded-mb で変えられます。"),
};
static_assert(std::size(kNoticeTexts) == static_cast<std::size_t>(Notice::kRaiseDecodeBudget) + 1);

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
    "\n"
    "MTF:\n"
    "  --precise                 精密モード: ROI のすべての行を使い、不確かさ u_mtf を付ける\n"
    "                            (slit と chart、既定: 従来の方法)\n"
    "  --slit-width MM           精密スリットでスリット幅を補正する幅 (既定: 0.01、0 は補正しない)\n"
    "  --truncate-at INDEX       LSF の左の裾の外挿開始点 (既定: 外挿しない、従来の slit のみ)\n"
    "  --fit-degree N            多項式の次数 1..16 (既定: 7)\n"
    "  --fit-up-to F             フィットする周波数 2.0|2.5|3.0|4.0|5.0|6.0\n"
    "                            (既定: chart は測定できた周波数まで、slit と精密モードはフィットしない)\n"
    "\n"
    "出力:\n"
    "  --format csv|json|table   出力形式 (既定: 端末なら table、それ以外は csv)\n"
    "  --output PATH             標準出力の代わりに書くファイル\n"
    "  --report PATH             1 ファイル 1 ページの PDF レポートも書く\n"
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
