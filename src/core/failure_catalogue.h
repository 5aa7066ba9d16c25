// The catalogue of the program's failures: one line each, in the order of
// their codes, with the code's name and the Japanese source text the user
// reads (translated through the context radmtf::Messages; %1, %2 are the
// failure's arguments in order). Included with RADMTF_FAILURE(code, name,
// text) defined: the enum, the names and the texts are all made from here.

// The platform's failures (conversion, files, lists, floating point).
RADMTF_FAILURE(kNotInteger, "NotInteger",
               QT_TRANSLATE_NOOP("radmtf::Messages", "'%1' は整数ではありません"))  // argument: the text
RADMTF_FAILURE(kNotFloat, "NotFloat",
               QT_TRANSLATE_NOOP("radmtf::Messages",
                                 "'%1' は浮動小数点数ではありません"))  // argument: the text
RADMTF_FAILURE(kCannotOpen, "CannotOpen",
               QT_TRANSLATE_NOOP("radmtf::Messages", "ファイル %1 は開けません"))  // argument: the path
RADMTF_FAILURE(kCannotCreate, "CannotCreate",
               QT_TRANSLATE_NOOP("radmtf::Messages", "ファイル %1 を作成できません"))  // argument: the path
RADMTF_FAILURE(kListIndex, "ListIndex",
               QT_TRANSLATE_NOOP("radmtf::Messages",
                                 "リストのインデックスが範囲を超えています (%1)"))  // argument: the index
RADMTF_FAILURE(kZeroDivide, "ZeroDivide",
               QT_TRANSLATE_NOOP("radmtf::Messages",
                                 "0 による浮動小数点数除算"))  // a nonzero value divided by zero, log of zero
RADMTF_FAILURE(
    kInvalidOperation, "InvalidOperation",
    QT_TRANSLATE_NOOP("radmtf::Messages",
                      "不正な浮動小数点数演算命令"))  // 0/0, log or square root of a negative value
RADMTF_FAILURE(kOverflow, "Overflow",
               QT_TRANSLATE_NOOP("radmtf::Messages",
                                 "浮動小数点数オーバーフロー"))  // a result beyond the range of a double
RADMTF_FAILURE(kIntegerDivide, "IntegerDivide",
               QT_TRANSLATE_NOOP("radmtf::Messages", "0 による除算"))  // integer division by zero
RADMTF_FAILURE(kOutOfMemory, "OutOfMemory", QT_TRANSLATE_NOOP("radmtf::Messages", "メモリが不足しています"))
// The program's own refusals.
RADMTF_FAILURE(kBitmapTooLarge, "BitmapTooLarge",
               QT_TRANSLATE_NOOP("radmtf::Messages", "表示する画像が大きすぎます。"))
RADMTF_FAILURE(kViewTooFar, "ViewTooFar",
               QT_TRANSLATE_NOOP("radmtf::Messages", "表示位置が画像から離れすぎています。"))
RADMTF_FAILURE(kTrimEmpty, "TrimEmpty",
               QT_TRANSLATE_NOOP("radmtf::Messages", "トリミングする範囲がありません。"))
RADMTF_FAILURE(kTrimTooLarge, "TrimTooLarge",
               QT_TRANSLATE_NOOP("radmtf::Messages", "トリミングする範囲が大きすぎます。"))
RADMTF_FAILURE(kNothingToTrim, "NothingToTrim",
               QT_TRANSLATE_NOOP("radmtf::Messages", "トリミングする画像がありません。"))
RADMTF_FAILURE(kRoiOutsideImage, "RoiOutsideImage",
               QT_TRANSLATE_NOOP("radmtf::Messages", "ROIが画像の外にはみ出しています。"))
RADMTF_FAILURE(kTableTooLarge, "TableTooLarge", QT_TRANSLATE_NOOP("radmtf::Messages", "ROIが大きすぎます。"))
RADMTF_FAILURE(
    kProfileTooLong, "ProfileTooLong",
    QT_TRANSLATE_NOOP("radmtf::Messages",
                      "プロファイルの点数が上限の 100001 点を超えます。MA-Line# を小さくしてください。"))
RADMTF_FAILURE(kNoSignal, "NoSignal", QT_TRANSLATE_NOOP("radmtf::Messages", "抽出する信号がありません。"))
RADMTF_FAILURE(kChartNotFound, "ChartNotFound",
               QT_TRANSLATE_NOOP("radmtf::Messages", "チャートのパターンが見つかりません。"))
RADMTF_FAILURE(kDegreeOutOfRange, "DegreeOutOfRange",
               QT_TRANSLATE_NOOP("radmtf::Messages", "次数は 1 から 16 の範囲で指定してください。"))
RADMTF_FAILURE(kNotMeasured, "NotMeasured",
               QT_TRANSLATE_NOOP("radmtf::Messages", "選択した周波数までの MTF が測定されていません。"))
RADMTF_FAILURE(kFrequencyRangeTooWide, "FrequencyRangeTooWide",
               QT_TRANSLATE_NOOP("radmtf::Messages", "フィッティングする周波数の範囲が広すぎます。"))
RADMTF_FAILURE(kBadPixelSpacing, "BadPixelSpacing",
               QT_TRANSLATE_NOOP("radmtf::Messages", "画素間隔が正しくありません。"))
RADMTF_FAILURE(kPickOutside, "PickOutside",
               QT_TRANSLATE_NOOP("radmtf::Messages", "選択した点は LSF の範囲外です。"))
RADMTF_FAILURE(kStartOutside, "StartOutside",
               QT_TRANSLATE_NOOP("radmtf::Messages", "外挿開始点が LSF の範囲外です。"))
RADMTF_FAILURE(kStartNotLeftOfPeak, "StartNotLeftOfPeak",
               QT_TRANSLATE_NOOP("radmtf::Messages", "外挿開始点はピークより左側で指定してください。"))
RADMTF_FAILURE(kFitRangeTooLong, "FitRangeTooLong",
               QT_TRANSLATE_NOOP("radmtf::Messages", "フィット範囲の点数が多すぎます。"))
RADMTF_FAILURE(kLeftTailNotFalling, "LeftTailNotFalling",
               QT_TRANSLATE_NOOP("radmtf::Messages",
                                 "左側の裾が外側に向かって減少していないため、外挿できません。"))
RADMTF_FAILURE(kRightTailNotFalling, "RightTailNotFalling",
               QT_TRANSLATE_NOOP("radmtf::Messages",
                                 "右側の裾が外側に向かって減少していないため、外挿できません。"))
RADMTF_FAILURE(kRightStartNotFound, "RightStartNotFound",
               QT_TRANSLATE_NOOP("radmtf::Messages", "右側の裾に外挿開始点の値まで下がる点がありません。"))
RADMTF_FAILURE(kExtensionTooLong, "ExtensionTooLong",
               QT_TRANSLATE_NOOP("radmtf::Messages", "外挿した LSF がデータ領域に収まりません。"))
// Measuring a file without the windows.
RADMTF_FAILURE(kEmptyProfile, "EmptyProfile",
               QT_TRANSLATE_NOOP("radmtf::Messages", "プロファイルがありません。2Dto1D を実行してください。"))
RADMTF_FAILURE(kEmptyLsf, "EmptyLsf",
               QT_TRANSLATE_NOOP("radmtf::Messages", "LSF がありません。ToExp を実行してください。"))
RADMTF_FAILURE(
    kCurveLineUnreadable, "CurveLineUnreadable",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "ファイル %1 の %2 行目が読めません: '%3' は浮動小数点数ではありません"))  // arguments: the file, the
                                                                                   // line number, the field
RADMTF_FAILURE(kDecodedImageTooLarge, "DecodedImageTooLarge",
               QT_TRANSLATE_NOOP("radmtf::Messages", "読み込む画像が大きすぎます。"))
RADMTF_FAILURE(kValuesBeyond16Bits, "ValuesBeyond16Bits",
               QT_TRANSLATE_NOOP("radmtf::Messages",
                                 "画素値が16ビットの範囲に収まりません。この画像は表示できません。"))
RADMTF_FAILURE(
    kUndecodablePixelData, "UndecodablePixelData",
    QT_TRANSLATE_NOOP("radmtf::Messages",
                      "転送構文 %1 の画素データを読み込めません。"))  // argument: the transfer syntax and its
                                                                      // name; empty when none
RADMTF_FAILURE(
    kNoImageSize, "NoImageSize",
    QT_TRANSLATE_NOOP("radmtf::Messages",
                      "画像の大きさが分かりません。--size で指定してください。"))  // the file gives no image
                                                                                   // size and none was set
RADMTF_FAILURE(
    kNoPixelSpacing, "NoPixelSpacing",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "画素間隔が分かりません。--pixel-spacing で指定してください。"))  // the file gives no pixel spacing
                                                                          // and none was set
RADMTF_FAILURE(kNotAFile, "NotAFile",
               QT_TRANSLATE_NOOP("radmtf::Messages",
                                 "%1 は画像ファイルではありません。"))  // argument: the path (a folder inside
                                                                        // a folder, a device)
RADMTF_FAILURE(
    kNoTiltedObject, "NoTiltedObject",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "ROI の中に傾いたスリット、エッジまたはチャートが見つかりません。"))  // no tilted slit, edge or chart
                                                                              // in the ROI
RADMTF_FAILURE(kNoBackground, "NoBackground",
               QT_TRANSLATE_NOOP("radmtf::Messages",
                                 "スリットの両側に背景 (中心から 3 mm 以上離れた部分) が必要です。ROI "
                                 "を広げてください。"))  // the precise slit needs background on both sides
RADMTF_FAILURE(
    kGeometryMismatch, "GeometryMismatch",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "選択した向きまたは MA-Line# が画像からの推定 (%1) と 10 % 以上違います。"))  // argument: the
                                                                                      // estimate ("M = 17.31,
                                                                                      // orientation 2")
RADMTF_FAILURE(kEdgeNotFound, "EdgeNotFound",
               QT_TRANSLATE_NOOP("radmtf::Messages",
                                 "ROIにエッジが見つかりません。"))  // no clear edge in the ROI
RADMTF_FAILURE(
    kEdgeTwoEdges, "EdgeTwoEdges",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "ROIにエッジが2本以上あります。エッジが1本だけ入るようにROIを選んでください。"))  // more than one
                                                                                          // edge in the ROI
RADMTF_FAILURE(
    kEdgeAngle, "EdgeAngle",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "エッジの傾きが 0.5°～10° の範囲にありません (%1°)"))  // argument: the measured angle in degrees
RADMTF_FAILURE(
    kEdgeSettings, "EdgeSettings",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "エッジ法の設定が範囲外です (画素間隔 > 0、ビン幅 0.01～1 "
        "画素、窓・芯 ≥ 0 mm、テーパ 0～1、周波数 ≥ 0)。"))  // an edge-method setting out of its range
RADMTF_FAILURE(kTooManyValues, "TooManyValues",
               QT_TRANSLATE_NOOP(
                   "radmtf::Messages",
                   "ROIの画素値の種類が多すぎます。"))  // too many distinct pixel values to convert at once
RADMTF_FAILURE(kSlitWidth, "SlitWidth",
               QT_TRANSLATE_NOOP("radmtf::Messages",
                                 "スリット幅 %1 mm は使えません。%3 cycles/mm まで補正するには 0 以上 %2 mm "
                                 "未満にしてください。"))  // arguments: the slit width, its limit (mm), the
                                                           // highest frequency listed
// What a real detector's file says of its data.
RADMTF_FAILURE(kProcessedImage, "ProcessedImage",
               QT_TRANSLATE_NOOP("radmtf::Messages",
                                 "画像は表示用に処理されています (%1)。処理された画像の MTF は検出器の MTF "
                                 "ではありません。"))  // a warning: FOR PRESENTATION or a LUT sequence;
                                                       // argument: what the file says
RADMTF_FAILURE(
    kInvertedValues, "InvertedValues",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "MONOCHROME1 の画像です。画素値を反転 (%1 - 画素値) して測定しました。"))  // a warning: MONOCHROME1
                                                                                   // measured as (2^B - 1) -
                                                                                   // v; argument: 2^B - 1
RADMTF_FAILURE(
    kInvertedWithCurve, "InvertedWithCurve",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "MONOCHROME1 の画像は特性曲線ファイルでは露光量に変換できません。"))  // MONOCHROME1 with a curve
                                                                              // file, which cannot say which
                                                                              // way its values run
RADMTF_FAILURE(
    kBitsStoredDiffers, "BitsStoredDiffers",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "ファイルの BitsStored は %1 ですが、解析画面の BitsStored は %2 です。"))  // a notice: arguments:
                                                                                    // the file's BitsStored,
                                                                                    // the analysis window's
RADMTF_FAILURE(
    kSpacingsDiffer, "SpacingsDiffer",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "Imager Pixel Spacing (%1 mm) と Pixel Spacing (%2 mm) が違います。Pixel Spacing "
        "を使います。検出器の MTF には Imager Pixel Spacing が正しい値です。"))  // a notice: arguments:
                                                                                 // Imager Pixel Spacing,
                                                                                 // Pixel Spacing (mm)
RADMTF_FAILURE(
    kNotRegularTarget, "NotRegularTarget",
    QT_TRANSLATE_NOOP("radmtf::Messages",
                      "%1 は通常のファイルではないので、書き込みません。"))  // argument: the path to write, a
                                                                             // device, pipe, folder or socket
RADMTF_FAILURE(
    kOutputIsInput, "OutputIsInput",
    QT_TRANSLATE_NOOP("radmtf::Messages",
                      "%1 は測定するファイルなので、上書きしません。"))  // argument: the path to write, a
                                                                         // file being measured
RADMTF_FAILURE(kStandardOutput, "StandardOutput",
               QT_TRANSLATE_NOOP("radmtf::Messages",
                                 "標準出力に書き込めません。"))  // standard output could not be written
RADMTF_FAILURE(
    kPixelSpacingRange, "PixelSpacingRange",
    QT_TRANSLATE_NOOP("radmtf::Messages",
                      "画素間隔 %1 mm は範囲 (0.001～10 mm) の外です。"))  // argument: the pixel spacing
                                                                           // (mm), outside 0.001 .. 10
RADMTF_FAILURE(kObjectNotFound, "ObjectNotFound",
               QT_TRANSLATE_NOOP(
                   "radmtf::Messages",
                   "画像に測定する対象 (エッジ、スリット、チャート) が見つかりません。"))  // no edge, slit
                                                                                    // or chart found
// Noise power spectra and the conversion function.
RADMTF_FAILURE(
    kNnpsNoRoi, "NnpsNoRoi",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "解析範囲 (%1 画素) に 256 × 256 画素の ROI が 1 つも入りません。"))  // argument: the analysed area
                                                                              // in pixels ("100 x 80")
RADMTF_FAILURE(
    kNnpsMixedImages, "NnpsMixedImages",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "%1 の画像サイズまたは画素間隔が最初の画像と違います。"))  // argument: the file whose size or pixel
                                                                   // spacing differs from the first
RADMTF_FAILURE(
    kNnpsNonPositiveKerma, "NnpsNonPositiveKerma",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "%2 の %1 画素は変換関数で正の空気カーマになりません。"))  // arguments: the pixel count, the file
RADMTF_FAILURE(
    kNnpsSaturated, "NnpsSaturated",
    QT_TRANSLATE_NOOP("radmtf::Messages",
                      "%2 の解析範囲に最大値で飽和した画素が %1 個あります。"))  // a warning; arguments: the
                                                                                 // pixel count, the file
RADMTF_FAILURE(
    kNnpsSmallArea, "NnpsSmallArea",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "画像が 125 mm × 125 mm より小さいため、画像全体 (%1 mm) を解析しました。"))  // a warning; argument:
                                                                                      // the analysed area in
                                                                                      // mm ("76.8 x 76.8")
RADMTF_FAILURE(
    kNnpsFewPixels, "NnpsFewPixels",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "独立な画素数 %1 は IEC 62220-1-1 の最小値 4,000,000 未満です。"))  // a warning; argument: the
                                                                            // independent pixel count
RADMTF_FAILURE(
    kConversionFewKermas, "ConversionFewKermas",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "変換関数の測定には 3 つ以上の異なる空気カーマが必要です (%1 個)。"))  // argument: the number of
                                                                               // distinct kermas
RADMTF_FAILURE(kConversionUnreadable, "ConversionUnreadable",
               QT_TRANSLATE_NOOP(
                   "radmtf::Messages",
                   "変換関数ファイル %1 の %2 行目が読めません。"))  // arguments: the file, the line number
RADMTF_FAILURE(kConversionSettings, "ConversionSettings",
               QT_TRANSLATE_NOOP("radmtf::Messages",
                                 "変換関数 '%1' は使えません。"))  // argument: the conversion as typed
RADMTF_FAILURE(kConversionNoKerma, "ConversionNoKerma",
               QT_TRANSLATE_NOOP("radmtf::Messages",
                                 "%2 に %1 の空気カーマがありません。"))  // arguments: the image, the kerma
                                                                          // file that does not list it
RADMTF_FAILURE(
    kDecodeBudgetExceeded, "DecodeBudgetExceeded",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "画素データの復号に %1 MB 必要で、上限 %2 MB を超えます。"))  // arguments: megabytes a decode needs,
                                                                      // megabytes allowed
RADMTF_FAILURE(
    kDecoderStopped, "DecoderStopped",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "%1 の画素データ (転送構文 %2) "
        "の復号中にデコーダーが異常終了しました。このファイルは読み込みません。"))  // arguments: the file,
                                                                                    // its transfer syntax
                                                                                    // (the decoder process
                                                                                    // died)
RADMTF_FAILURE(
    kDecoderTimedOut, "DecoderTimedOut",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "%1 の画素データ (転送構文 %2) の復号が %3 秒で終わらないため中止しました。"))  // arguments: the
                                                                                        // file, its transfer
                                                                                        // syntax, the time
                                                                                        // limit (s)
// Detective quantum efficiency.
RADMTF_FAILURE(
    kEdgeDirectionsDiffer, "EdgeDirectionsDiffer",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "%1 枚目のエッジ画像のエッジは 1 枚目と向きが違います。"))  // argument: the edge image (from 1) whose
                                                                    // edge runs the other way
RADMTF_FAILURE(
    kDqeNoMtf, "DqeNoMtf",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "%1 方向の MTF がないため、その方向の DQE は求めません。"))  // argument: the direction ("u" or "v")
                                                                     // that has no MTF
RADMTF_FAILURE(kDqeSettings, "DqeSettings",
               QT_TRANSLATE_NOOP("radmtf::Messages",
                                 "DQE の設定 '%1' は使えません。"))  // argument: the setting as typed (kerma,
                                                                     // SNR^2, quality)
RADMTF_FAILURE(
    kDqeMtfUnreadable, "DqeMtfUnreadable",
    QT_TRANSLATE_NOOP("radmtf::Messages",
                      "MTF ファイル %1 の %2 行目が読めません。"))  // arguments: the file, the line number
RADMTF_FAILURE(
    kDqeKermaMismatch, "DqeKermaMismatch",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "平坦画像の平均空気カーマ %1 µGy は指定の %2 µGy と 5 % 以上違います。"))  // a warning; arguments:
                                                                                   // the flat fields' mean
                                                                                   // kerma, the given kerma
                                                                                   // (uGy)
RADMTF_FAILURE(
    kDqeImagesDiffer, "DqeImagesDiffer",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "エッジ画像 %1 の画像サイズまたは画素間隔が平坦画像と違います。"))  // a warning; argument: the edge
                                                                            // image whose size or spacing
                                                                            // differs
RADMTF_FAILURE(kDqeMtfShort, "DqeMtfShort",
               QT_TRANSLATE_NOOP("radmtf::Messages",
                                 "%1 方向の MTF は %2 cycles/mm までしかなく、それより高い周波数の DQE "
                                 "はありません。"))  // a warning; arguments: the direction, the MTF's highest
                                                     // frequency
RADMTF_FAILURE(
    kDqeMtfNoCurve, "DqeMtfNoCurve",
    QT_TRANSLATE_NOOP(
        "radmtf::Messages",
        "MTF ファイル %1 には 1 件の測定の MTF (周波数の昇順) がありません。"))  // argument: the file (no
                                                                                 // single measurement's
                                                                                 // rising MTF in it)
// A warning; arguments: the direction, the MTF file, the edge image left unused.
RADMTF_FAILURE(kDqeEdgeUnused, "DqeEdgeUnused",
               QT_TRANSLATE_NOOP("radmtf::Messages",
                                 "%1 方向の MTF はファイル %2 から読むため、エッジ画像 %3 は使いません。"))
// The noise window: a measurement asked for without flat fields, a result
// saved before anything was measured.
RADMTF_FAILURE(kNoFlatFields, "NoFlatFields",
               QT_TRANSLATE_NOOP("radmtf::Messages", "平坦画像がありません。一覧に加えてください。"))
RADMTF_FAILURE(kNoiseNotMeasured, "NoiseNotMeasured",
               QT_TRANSLATE_NOOP("radmtf::Messages",
                                 "%1 がまだ測定されていません。"))  // argument: NNPS or DQE
RADMTF_FAILURE(kDqeNoAnalysisMtf, "DqeNoAnalysisMtf",
               QT_TRANSLATE_NOOP("radmtf::Messages",
                                 "MTF %1 に使う解析ウィンドウの MTF がありません。"
                                 "先に解析ウィンドウで測定してください。"))  // argument: u or v
