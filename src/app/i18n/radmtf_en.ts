<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>radmtf::Messages</name>
    <message>
        <source>&apos;%1&apos; は整数ではありません</source>
        <translation>&apos;%1&apos; is not an integer</translation>
    </message>
    <message>
        <source>&apos;%1&apos; は浮動小数点数ではありません</source>
        <translation>&apos;%1&apos; is not a number</translation>
    </message>
    <message>
        <source>ファイル %1 は開けません</source>
        <translation>File %1 cannot be opened</translation>
    </message>
    <message>
        <source>ファイル %1 を作成できません</source>
        <translation>File %1 cannot be created</translation>
    </message>
    <message>
        <source>リストのインデックスが範囲を超えています (%1)</source>
        <translation>List index out of range (%1)</translation>
    </message>
    <message>
        <source>0 による浮動小数点数除算</source>
        <translation>Floating-point division by zero</translation>
    </message>
    <message>
        <source>不正な浮動小数点数演算命令</source>
        <translation>Invalid floating-point operation</translation>
    </message>
    <message>
        <source>浮動小数点数オーバーフロー</source>
        <translation>Floating-point overflow</translation>
    </message>
    <message>
        <source>0 による除算</source>
        <translation>Division by zero</translation>
    </message>
    <message>
        <source>メモリが不足しています</source>
        <translation>Out of memory</translation>
    </message>
    <message>
        <source>表示する画像が大きすぎます。</source>
        <translation>The picture to show is too large.</translation>
    </message>
    <message>
        <source>表示位置が画像から離れすぎています。</source>
        <translation>The view is too far from the image.</translation>
    </message>
    <message>
        <source>トリミングする範囲がありません。</source>
        <translation>There is nothing to trim in the ROI.</translation>
    </message>
    <message>
        <source>トリミングする範囲が大きすぎます。</source>
        <translation>The block to trim is too large.</translation>
    </message>
    <message>
        <source>トリミングする画像がありません。</source>
        <translation>There is no image to trim.</translation>
    </message>
    <message>
        <source>ROIが画像の外にはみ出しています。</source>
        <translation>The ROI reaches outside the image.</translation>
    </message>
    <message>
        <source>ROIが大きすぎます。</source>
        <translation>The ROI is too large.</translation>
    </message>
    <message>
        <source>プロファイルの点数が上限の 100001 点を超えます。MA-Line# を小さくしてください。</source>
        <translation>The profile would exceed its limit of 100001 points. Choose a smaller MA-Line#.</translation>
    </message>
    <message>
        <source>抽出する信号がありません。</source>
        <translation>There is no signal to extract.</translation>
    </message>
    <message>
        <source>チャートのパターンが見つかりません。</source>
        <translation>The chart&apos;s pattern was not found.</translation>
    </message>
    <message>
        <source>次数は 1 から 16 の範囲で指定してください。</source>
        <translation>Choose a degree from 1 to 16.</translation>
    </message>
    <message>
        <source>選択した周波数までの MTF が測定されていません。</source>
        <translation>The MTF has not been measured up to the chosen frequency.</translation>
    </message>
    <message>
        <source>フィッティングする周波数の範囲が広すぎます。</source>
        <translation>The frequency range to fit is too wide.</translation>
    </message>
    <message>
        <source>画素間隔が正しくありません。</source>
        <translation>The pixel spacing is not valid.</translation>
    </message>
    <message>
        <source>選択した点は LSF の範囲外です。</source>
        <translation>The chosen point lies outside the LSF.</translation>
    </message>
    <message>
        <source>外挿開始点が LSF の範囲外です。</source>
        <translation>The start point of the tail fit lies outside the LSF.</translation>
    </message>
    <message>
        <source>外挿開始点はピークより左側で指定してください。</source>
        <translation>Choose the start point of the tail fit left of the peak.</translation>
    </message>
    <message>
        <source>フィット範囲の点数が多すぎます。</source>
        <translation>The fit range has too many points.</translation>
    </message>
    <message>
        <source>左側の裾が外側に向かって減少していないため、外挿できません。</source>
        <translation>The left tail does not fall outward, so it cannot be extrapolated.</translation>
    </message>
    <message>
        <source>右側の裾が外側に向かって減少していないため、外挿できません。</source>
        <translation>The right tail does not fall outward, so it cannot be extrapolated.</translation>
    </message>
    <message>
        <source>右側の裾に外挿開始点の値まで下がる点がありません。</source>
        <translation>No point of the right tail falls to the start point&apos;s value.</translation>
    </message>
    <message>
        <source>外挿した LSF がデータ領域に収まりません。</source>
        <translation>The extrapolated LSF does not fit in the data area.</translation>
    </message>
    <message>
        <source>トリミングした画像を保存しました。</source>
        <translation>The trimmed image has been saved.</translation>
    </message>
    <message>
        <source>外挿開始点が指定されていません。</source>
        <translation>No start point for the tail fit has been chosen.</translation>
    </message>
    <message>
        <source>Matrix Size x y , </source>
        <translation>Matrix size (columns rows):</translation>
    </message>
    <message>
        <source>ﾋﾟｸｾﾙ間隔(mm)を入力してください。</source>
        <translation>Enter the pixel spacing (mm).</translation>
    </message>
    <message>
        <source>内部エラーのため処理を中止しました。</source>
        <translation>The action was stopped by an internal error.</translation>
    </message>
    <message>
        <source>プロファイルがありません。2Dto1D を実行してください。</source>
        <translation>There is no profile. Run 2D to 1D first.</translation>
    </message>
    <message>
        <source>LSF がありません。ToExp を実行してください。</source>
        <translation>There is no LSF. Run Exposure first.</translation>
    </message>
    <message>
        <source>ファイル %1 の %2 行目が読めません: &apos;%3&apos; は浮動小数点数ではありません</source>
        <translation>Cannot read line %2 of file %1: &apos;%3&apos; is not a number</translation>
    </message>
    <message>
        <source>読み込む画像が大きすぎます。</source>
        <translation>The image to load is too large.</translation>
    </message>
    <message>
        <source>画素値が16ビットの範囲に収まりません。この画像は表示できません。</source>
        <translation>The pixel values do not fit in 16 bits. This image cannot be shown.</translation>
    </message>
    <message>
        <source>転送構文 %1 の画素データを読み込めません。</source>
        <translation>Cannot read pixel data of transfer syntax %1.</translation>
    </message>
    <message>
        <source>画像の大きさが分かりません。--size で指定してください。</source>
        <translation>The image size is not known. Give it with --size.</translation>
    </message>
    <message>
        <source>画素間隔が分かりません。--pixel-spacing で指定してください。</source>
        <translation>The pixel spacing is not known. Give it with --pixel-spacing.</translation>
    </message>
    <message>
        <source>%1 は画像ファイルではありません。</source>
        <translation>%1 is not an image file.</translation>
    </message>
    <message>
        <source>ROI の中に傾いたスリット、エッジまたはチャートが見つかりません。</source>
        <translation>No tilted slit, edge or chart was found in the ROI.</translation>
    </message>
    <message>
        <source>スリットの両側に背景 (中心から 3 mm 以上離れた部分) が必要です。ROI を広げてください。</source>
        <translation>The slit needs background on both sides (more than 3 mm from its centre). Make the ROI wider.</translation>
    </message>
    <message>
        <source>選択した向きまたは MA-Line# が画像からの推定 (%1) と 10 % 以上違います。</source>
        <translation>The chosen orientation or MA-Line# differs by more than 10 % from the estimate from the image (%1).</translation>
    </message>
    <message>
        <source>ROIにエッジが見つかりません。</source>
        <translation>No edge was found in the ROI.</translation>
    </message>
    <message>
        <source>ROIにエッジが2本以上あります。エッジが1本だけ入るようにROIを選んでください。</source>
        <translation>The ROI holds two or more edges. Choose a ROI with one edge only.</translation>
    </message>
    <message>
        <source>エッジの傾きが 0.5°～10° の範囲にありません (%1°)</source>
        <translation>The edge angle is outside 0.5°–10° (%1°)</translation>
    </message>
    <message>
        <source>エッジ法の設定が範囲外です (画素間隔 &gt; 0、ビン幅 0.01～1 画素、窓・芯 ≥ 0 mm、テーパ 0～1、周波数 ≥ 0)。</source>
        <translation>An edge-method setting is out of range (pixel spacing &gt; 0, bin 0.01–1 pixel, window and core ≥ 0 mm, taper 0–1, frequencies ≥ 0).</translation>
    </message>
    <message>
        <source>ROIの画素値の種類が多すぎます。</source>
        <translation>The ROI holds too many different pixel values.</translation>
    </message>
    <message>
        <source>%1 は知らないオプションです。</source>
        <translation>%1 is an unknown option.</translation>
    </message>
    <message>
        <source>%1 に値がありません。</source>
        <translation>%1 needs a value.</translation>
    </message>
    <message>
        <source>%1 の値 &apos;%2&apos; は使えません。</source>
        <translation>&apos;%2&apos; is not a valid value for %1.</translation>
    </message>
    <message>
        <source>測定するファイルまたはフォルダーを指定してください。</source>
        <translation>Give the files or folders to measure.</translation>
    </message>
    <message>
        <source>%1 はこの測定方法では使えません。</source>
        <translation>%1 does not apply to this method.</translation>
    </message>
    <message>
        <source>開く画像ファイルは 1 つだけ指定してください。</source>
        <translation>Give at most one image file to open.</translation>
    </message>
    <message>
        <source>使い方は radmtf measure --help で表示されます。</source>
        <translation>Try &apos;radmtf measure --help&apos;.</translation>
    </message>
    <message>
        <source>使い方は radmtf --help で表示されます。</source>
        <translation>Try &apos;radmtf --help&apos;.</translation>
    </message>
    <message>
        <source>(なし)</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>failed: %1</source>
        <translation>failed: %1</translation>
    </message>
    <message>
        <source>MTF がまだ測定されていません。</source>
        <translation>No MTF has been measured yet.</translation>
    </message>
    <message>
        <source>スリット幅 %1 mm は使えません。%3 cycles/mm まで補正するには 0 以上 %2 mm 未満にしてください。</source>
        <translation>The slit width %1 mm cannot be used. To correct up to %3 cycles/mm, give at least 0 and less than %2 mm.</translation>
    </message>
    <message>
        <source>測定方法 slit、chart または edge を指定してください。</source>
        <translation>Give the method: slit, chart or edge.</translation>
    </message>
    <message>
        <source>usage: radmtf [options] [IMAGE]
       radmtf measure slit|chart|edge FILE|FOLDER... [options]   (radmtf measure --help)

X 線検出器のプリサンプル MTF を測定し、DICOM と raw 画像を表示します。

  IMAGE                 起動時に開く DICOM または raw 画像ファイル
  --script FILE         スクリプト FILE (- は標準入力) をウィンドウに対して実行して終了します。
                        IMAGE はその前に開きます
  --lang ja|en          表示の言語 (既定: 環境変数 RADMTF_LANG、なければ ja)
  -h, --help            この説明を表示して終了します
  -v, --version         版を表示して終了します
</source>
        <translation>usage: radmtf [options] [IMAGE]
       radmtf measure slit|chart|edge FILE|FOLDER... [options]   (radmtf measure --help)

Measures the presampled MTF of X-ray detectors; views DICOM and raw images.

  IMAGE                 a DICOM or raw image file to open at start
  --script FILE         run the script FILE (- reads standard input) against the windows, then end;
                        IMAGE is opened first
  --lang ja|en          the interface language (default: RADMTF_LANG, else ja)
  -h, --help            print this help and end
  -v, --version         print the version and end
</translation>
    </message>
    <message>
        <source>画像は表示用に処理されています (%1)。処理された画像の MTF は検出器の MTF ではありません。</source>
        <translation>The image has been processed for presentation (%1). The MTF of a processed image is not the detector&apos;s MTF.</translation>
    </message>
    <message>
        <source>MONOCHROME1 の画像です。画素値を反転 (%1 - 画素値) して測定しました。</source>
        <translation>A MONOCHROME1 image: measured with its pixel values inverted (%1 - pixel value).</translation>
    </message>
    <message>
        <source>MONOCHROME1 の画像は特性曲線ファイルでは露光量に変換できません。</source>
        <translation>A MONOCHROME1 image cannot be converted to exposure through a characteristic-curve file.</translation>
    </message>
    <message>
        <source>ファイルの BitsStored は %1 ですが、解析画面の BitsStored は %2 です。</source>
        <translation>The file&apos;s BitsStored is %1, but the analysis window&apos;s BitsStored is %2.</translation>
    </message>
    <message>
        <source>Imager Pixel Spacing (%1 mm) と Pixel Spacing (%2 mm) が違います。Pixel Spacing を使います。検出器の MTF には Imager Pixel Spacing が正しい値です。</source>
        <translation>Imager Pixel Spacing (%1 mm) and Pixel Spacing (%2 mm) differ. Pixel Spacing is used; for the detector&apos;s MTF, Imager Pixel Spacing is the right value.</translation>
    </message>
    <message>
        <source>%1 は通常のファイルではないので、書き込みません。</source>
        <translation>%1 is not a regular file; it is not written.</translation>
    </message>
    <message>
        <source>%1 は測定するファイルなので、上書きしません。</source>
        <translation>%1 is one of the files to measure; it is not overwritten.</translation>
    </message>
    <message>
        <source>標準出力に書き込めません。</source>
        <translation>Cannot write to standard output.</translation>
    </message>
    <message>
        <source>画素間隔 %1 mm は範囲 (0.001～10 mm) の外です。</source>
        <translation>Pixel spacing %1 mm is outside the range 0.001–10 mm.</translation>
    </message>
    <message>
        <source>%1 の画素データ (転送構文 %2) の復号中にデコーダーが異常終了しました。このファイルは読み込みません。</source>
        <translation>The decoder stopped abnormally while decoding the pixel data of %1 (transfer syntax %2); the file is not loaded.</translation>
    </message>
    <message>
        <source>%1 の画素データ (転送構文 %2) の復号が %3 秒で終わらないため中止しました。</source>
        <translation>Decoding the pixel data of %1 (transfer syntax %2) did not end within %3 s and was stopped.</translation>
    </message>
    <message>
        <source>解析範囲 (%1 画素) に 256 × 256 画素の ROI が 1 つも入りません。</source>
        <translation>The analysed area (%1 pixels) holds no ROI of 256 × 256 pixels.</translation>
    </message>
    <message>
        <source>%1 の画像サイズまたは画素間隔が最初の画像と違います。</source>
        <translation>The image size or pixel spacing of %1 differs from the first image&apos;s.</translation>
    </message>
    <message>
        <source>%2 の %1 画素は変換関数で正の空気カーマになりません。</source>
        <translation>%1 pixels of %2 give no positive air kerma through the conversion function.</translation>
    </message>
    <message>
        <source>%2 の解析範囲に最大値で飽和した画素が %1 個あります。</source>
        <translation>%1 pixels of the analysed area of %2 are saturated at the maximum value.</translation>
    </message>
    <message>
        <source>画像が 125 mm × 125 mm より小さいため、画像全体 (%1 mm) を解析しました。</source>
        <translation>The image is smaller than 125 mm × 125 mm; the whole image (%1 mm) was analysed.</translation>
    </message>
    <message>
        <source>独立な画素数 %1 は IEC 62220-1-1 の最小値 4,000,000 未満です。</source>
        <translation>%1 independent pixels are fewer than the minimum of IEC 62220-1-1, 4,000,000.</translation>
    </message>
    <message>
        <source>変換関数の測定には 3 つ以上の異なる空気カーマが必要です (%1 個)。</source>
        <translation>Measuring the conversion function needs at least 3 different air kermas (%1 given).</translation>
    </message>
    <message>
        <source>変換関数ファイル %1 の %2 行目が読めません。</source>
        <translation>Line %2 of the conversion function file %1 cannot be read.</translation>
    </message>
    <message>
        <source>変換関数 &apos;%1&apos; は使えません。</source>
        <translation>The conversion function &apos;%1&apos; cannot be used.</translation>
    </message>
    <message>
        <source>%2 に %1 の空気カーマがありません。</source>
        <translation>%2 gives no air kerma for %1.</translation>
    </message>
    <message>
        <source>%1 枚目のエッジ画像のエッジは 1 枚目と向きが違います。</source>
        <translation>The edge in edge image %1 runs in a different direction from the first one.</translation>
    </message>
    <message>
        <source>%1 方向の MTF がないため、その方向の DQE は求めません。</source>
        <translation>There is no MTF for direction %1, so no DQE is given for that direction.</translation>
    </message>
    <message>
        <source>DQE の設定 &apos;%1&apos; は使えません。</source>
        <translation>The DQE setting &apos;%1&apos; cannot be used.</translation>
    </message>
    <message>
        <source>MTF ファイル %1 の %2 行目が読めません。</source>
        <translation>Line %2 of the MTF file %1 cannot be read.</translation>
    </message>
    <message>
        <source>平坦画像の平均空気カーマ %1 µGy は指定の %2 µGy と 5 % 以上違います。</source>
        <translation>The mean air kerma of the flat fields, %1 µGy, differs from the given %2 µGy by more than 5 %.</translation>
    </message>
    <message>
        <source>エッジ画像 %1 の画像サイズまたは画素間隔が平坦画像と違います。</source>
        <translation>The image size or pixel spacing of edge image %1 differs from that of the flat fields.</translation>
    </message>
    <message>
        <source>%1 方向の MTF は %2 cycles/mm までしかなく、それより高い周波数の DQE はありません。</source>
        <translation>The MTF for direction %1 reaches only %2 cycles/mm; there is no DQE at higher frequencies.</translation>
    </message>
    <message>
        <source>MTF ファイル %1 には 1 件の測定の MTF (周波数の昇順) がありません。</source>
        <translation>The MTF file %1 holds no MTF of a single measurement with rising frequencies.</translation>
    </message>
    <message>
        <source>画素データの復号に %1 MB 必要で、上限 %2 MB を超えます。</source>
        <translation>Decoding the pixel data needs %1 MB, more than the limit of %2 MB.</translation>
    </message>
    <message>
        <source>上限は --max-decoded-mb で変えられます。</source>
        <translation>--max-decoded-mb raises the limit.</translation>
    </message>
    <message>
        <source>平均信号 %1 µGy、ROI %2 個、独立な画素 %3 個</source>
        <translation>mean signal %1 µGy, %2 ROIs, %3 independent pixels</translation>
    </message>
    <message>
        <source>画像に測定する対象 (エッジ、スリット、チャート) が見つかりません。</source>
        <translation>No object to measure (edge, slit or chart) was found in the image.</translation>
    </message>
    <message>
        <source>--roi で指定してください。</source>
        <translation> Give one with --roi.</translation>
    </message>
    <message>
        <source>%1 方向の MTF はファイル %2 から読むため、エッジ画像 %3 は使いません。</source>
        <translation>The MTF along %1 is read from the file %2, so the edge image %3 is not used.</translation>
    </message>
    <message>
        <source>usage: radmtf measure slit|chart|edge FILE|FOLDER... [options]
       radmtf measure nnps FILE|FOLDER... [options]
       radmtf measure conversion FILE... --kerma-file CSV [options]
       radmtf measure dqe --flat FILE|FOLDER... --edge FILE... --kerma K --quality Q [options]

画像から MTF を測定します。フォルダーはその中のファイルを名前順にすべて測定します。
既定値は解析ウィンドウの既定値です。edge は ROI の中の傾いたエッジから測定し、
向きと角度を画像から求めます (プロファイルと MTF のオプションは使いません)。

画像:
  --mode dicom|raw16|raw8   ファイルの形式 (既定: dicom)
  --size W,H                画像の列数と行数 (raw では必須、dicom ではファイルの値を上書き)
  --header N                画素データの前のバイト数 (既定: 0、dicom ではファイルの値)
  --offset N                画素値に加える値 (既定: 0、dicom ではファイルの値)
  --swap                    画素のバイト順を入れ替える (dicom ではファイルの値)
  --roi X,Y,W,H             ROI の中心と大きさ (既定: 画像から対象を探す。edge は見つけたエッジ
                            ごとに 1 つの結果、edge_direction と edge_index 付き)
  --search X,Y,W,H          対象を探す範囲: 左上の列と行、幅と高さ (既定: 画像全体)
  --direction vertical|horizontal|both  edge で探すエッジの向き (既定: both)

プロファイル:
  --orientation 1..4|auto   スリットの向き、ボタン 1..4 (既定: 1)。auto は画像から推定
  --ma-line M|auto          1 画素ずれる行数 MA-Line# (既定: 17)。auto は画像から推定
  --smooth N                移動平均の幅 (既定: 1、平均しない)
  --extract                 平坦な両端を切り、2048 点以下に間引く (既定: しない)
  --no-check                従来の slit と chart で、Auto と同じ推定でスリットまたはチャートを
                            確かめない (既定: 見つからなければ測定せず、向きや MA-Line# が
                            推定と 10 % 以上違えば警告する)

露光量:
  --pixel-spacing MM        画素間隔 0.001～10 (既定: ファイルの Imager Pixel Spacing、なければ Pixel Spacing)
  --log-exposure-area L     画素値の範囲が表す露光量の桁数 L (既定: 4)
  --bits B                  BitsStored (既定: DICOM ファイルの値、なければ 12)
  --hdc FILE                特性曲線ファイル (既定: 使わない)
  --conversion C            検出器の変換関数 (linear:…、log:…、file:…、既定: model、下のノイズを参照)

MTF:
  --precise                 精密モード: ROI のすべての行を使い、不確かさ u_mtf を付ける
                            (slit と chart、既定: 従来の方法)
  --slit-width MM           精密スリットでスリット幅を補正する幅 (既定: 0.01、0 は補正しない)
  --truncate-at INDEX       LSF の左の裾の外挿開始点 (既定: 外挿しない、従来の slit のみ)
  --fit-degree N            多項式の次数 1..16 (既定: 7)
  --fit-up-to F             フィットする周波数 2.0|2.5|3.0|4.0|5.0|6.0
                            (既定: chart は測定できた周波数まで、slit と精密モードはフィットしない)
                            フィットした値は各点の mtf_fit、JSON では次数と係数も
  --lsf-range MM            LSF をスリットまたはエッジから ± この距離まで使う
                            (精密スリットと edge、既定: 2.5、edge の 0 は ROI の全体)

エッジ (edge のみ):
  --edge-bin PX             ESF のビンの幅 (画素、0.01～1、既定: 0.1)
  --edge-taper F            LSF の範囲の外側のこの割合をなめらかに減らす (0～1、既定: 0.5)
  --edge-core MM            この距離 (± mm) までの LSF はどの周波数でも重み 1 (既定: 1、0 は分けない)
  --edge-cutoff F           その外側の LSF の重みの遮断周波数 (cycles/mm、既定: 2)
  --edge-smoothing F        MTF を平均する周波数の幅 (cycles/mm、既定: 0、平均しない)
  --edge-adaptive C         周波数 f で ± C / f mm の LSF を使う窓 (コアと遮断の代わり、既定: 0、使わない)
  --edge-reach K            LSF の範囲を LSF の届く距離の K 倍に狭める (既定: 3、0 は狭めない)

ノイズ (nnps と conversion、ほかに --pixel-spacing --log-exposure-area --bits --format --output):
  --conversion C            nnps: 画素値から空気カーマへの変換
                            model|linear:OFFSET,GAIN|log:C0,C1[,KREF]|hdc:FILE|file:PATH (既定: model)
  --kerma K                 nnps: 検出器面の空気カーマ (µGy、設定として記録する)
  --kerma-file CSV          conversion: 「ファイル,カーマ」の行 (必須)
  --nnps-image PNG          nnps: 2 次元 NNPS を対数の濃淡で描いた PNG

DQE (dqe、ほかに --conversion --pixel-spacing --log-exposure-area --bits と出力のオプション):
  --flat FILE|FOLDER        平坦画像 (繰り返し可、後に続くファイルも平坦画像)
  --edge FILE               エッジ画像 (繰り返し可、縦のエッジは u、横のエッジは v の MTF)
  --kerma K                 検出器面の空気カーマ (µGy、必須)
  --quality Q               線質 RQA3|RQA5|RQA7|RQA9 (必須)
  --snr-table 2015|2003     SNR²_in の表の版 (既定: 2015)
  --snr2 V                  表の代わりに使う SNR²_in (1/(mm²·µGy))
  --mtf-u CSV, --mtf-v CSV  エッジ画像の代わりに使う measure の MTF (CSV または JSON)

出力:
  --format csv|json|table   出力形式 (既定: 端末なら table、それ以外は csv)
  --output PATH             標準出力の代わりに書くファイル
  --report PATH             1 ファイル 1 ページの PDF レポートも書く
  --institution TEXT        レポートに載せる施設名
  --operator TEXT           レポートに載せる測定者
  --note TEXT               レポートに載せるメモ
  --lang ja|en              表示の言語 (既定: 環境変数 RADMTF_LANG、なければ ja)
  --jobs N                  同時に測定するファイルの数 (既定: CPU のコア数)
  --max-decoded-mb N        1 ファイルの画素の復号に使えるメモリ (MB、既定: 1024)
  --help                    この説明

終了コード: 0 すべて測定できた、1 測定できないファイルがあった、2 使い方の誤り
</source>
        <translation>usage: radmtf measure slit|chart|edge FILE|FOLDER... [options]
       radmtf measure nnps FILE|FOLDER... [options]
       radmtf measure conversion FILE... --kerma-file CSV [options]
       radmtf measure dqe --flat FILE|FOLDER... --edge FILE... --kerma K --quality Q [options]

Measures the MTF from images. A folder: every file in it, in name order.
The defaults are the analysis window&apos;s defaults. edge measures a tilted edge in the ROI
and finds its direction and angle in the image (it uses no profile or MTF options).

Image:
  --mode dicom|raw16|raw8   the file format (default: dicom)
  --size W,H                the image&apos;s columns and rows (required for raw; overrides a DICOM file&apos;s)
  --header N                bytes before the pixel data (default: 0; DICOM: the file&apos;s)
  --offset N                value added to the pixel values (default: 0; DICOM: the file&apos;s)
  --swap                    swap the pixels&apos; byte order (DICOM: the file&apos;s)
  --roi X,Y,W,H             the ROI&apos;s centre and size (default: the object is found in the image;
                            edge: a result per edge found, with edge_direction and edge_index)
  --search X,Y,W,H          where to search: left column, top row, width, height (default: the whole image)
  --direction vertical|horizontal|both  edge: the edges to find (default: both)

Profile:
  --orientation 1..4|auto   the orientation button 1..4 (default: 1); auto: estimated from the image
  --ma-line M|auto          MA-Line#, the lines over which the object moves one pixel (default: 17);
                            auto: estimated from the image
  --smooth N                moving-average width (default: 1, no averaging)
  --extract                 cut the flat ends and thin to at most 2048 points (default: off)
  --no-check                traditional slit and chart: do not look for the slit or chart first as
                            Auto does (default: an image without one is not measured, and an
                            orientation or MA-Line# 10 % or more off the estimate is warned about)

Exposure:
  --pixel-spacing MM        pixel spacing 0.001–10 (default: the file&apos;s Imager Pixel Spacing, else its Pixel Spacing)
  --log-exposure-area L     L, the decades of exposure over the pixel range (default: 4)
  --bits B                  BitsStored (default: the DICOM file&apos;s, else 12)
  --hdc FILE                characteristic-curve file (default: none)
  --conversion C            the detector&apos;s conversion function (linear:…, log:…, file:…; default: model; see Noise below)

MTF:
  --precise                 precise mode: every row of the ROI, with the uncertainty u_mtf
                            (slit and chart; default: the traditional method)
  --slit-width MM           precise slit: the slit width corrected for (default: 0.01; 0: no correction)
  --truncate-at INDEX       start of the LSF&apos;s left-tail extrapolation (default: none; traditional slit only)
  --fit-degree N            polynomial degree 1..16 (default: 7)
  --fit-up-to F             fit frequency 2.0|2.5|3.0|4.0|5.0|6.0
                            (default: chart up to the frequencies measured; slit and precise modes not fitted)
                            the fitted value at each point in mtf_fit; JSON also gives the degree and coefficients
  --lsf-range MM            the LSF used within ± this distance of the slit or edge
                            (precise slit and edge; default: 2.5; edge: 0 takes the whole ROI)

Edge (edge only):
  --edge-bin PX             ESF bin width (pixels, 0.01–1, default: 0.1)
  --edge-taper F            the outer fraction of the LSF range that fades out (0–1, default: 0.5)
  --edge-core MM            the LSF within ± this distance counts in full at every frequency (default: 1; 0: no split)
  --edge-cutoff F           the cut-off frequency of the weight of the LSF beyond it (cycles/mm, default: 2)
  --edge-smoothing F        the frequency interval the MTF is averaged over (cycles/mm, default: 0, none)
  --edge-adaptive C         the LSF window ± C / f mm at frequency f, in place of core and cut-off (default: 0, off)
  --edge-reach K            the LSF range narrowed to K times the LSF&apos;s reach (default: 3; 0: not narrowed)

Noise (nnps and conversion; also --pixel-spacing --log-exposure-area --bits --format --output):
  --conversion C            nnps: the conversion from pixel value to air kerma
                            model|linear:OFFSET,GAIN|log:C0,C1[,KREF]|hdc:FILE|file:PATH (default: model)
  --kerma K                 nnps: the air kerma at the detector (µGy, recorded with the settings)
  --kerma-file CSV          conversion: lines &quot;file,kerma&quot; (required)
  --nnps-image PNG          nnps: the 2-D NNPS as a PNG on a logarithmic grey scale

DQE (dqe; also --conversion --pixel-spacing --log-exposure-area --bits and the output options):
  --flat FILE|FOLDER        flat fields (repeatable; the files that follow are flat fields too)
  --edge FILE               edge images (repeatable; a vertical edge gives the MTF along u, a horizontal one along v)
  --kerma K                 the air kerma at the detector (µGy, required)
  --quality Q               beam quality RQA3|RQA5|RQA7|RQA9 (required)
  --snr-table 2015|2003     the edition of the SNR²_in table (default: 2015)
  --snr2 V                  SNR²_in to use instead of the table&apos;s (1/(mm²·µGy))
  --mtf-u CSV, --mtf-v CSV  a measure MTF (CSV or JSON) to use instead of edge images

Output:
  --format csv|json|table   output format (default: table on a terminal, else csv)
  --output PATH             file written instead of standard output
  --report PATH             also write a PDF report, a page per file
  --institution TEXT        the institution named in the report
  --operator TEXT           the operator named in the report
  --note TEXT               a note for the report
  --lang ja|en              the interface language (default: RADMTF_LANG, else ja)
  --jobs N                  files measured at once (default: the number of cores)
  --max-decoded-mb N        memory the decoding of one file&apos;s pixels may use (MB, default: 1024)
  --help                    this help

Exit code: 0 all measured, 1 a file could not be measured, 2 a usage error
</translation>
    </message>
    <message>
        <source>平坦画像がありません。一覧に加えてください。</source>
        <translation>There are no flat fields. Add them to the list.</translation>
    </message>
    <message>
        <source>%1 がまだ測定されていません。</source>
        <translation>%1 has not been measured yet.</translation>
    </message>
    <message>
        <source>MTF %1 に使う解析ウィンドウの MTF がありません。先に解析ウィンドウで測定してください。</source>
        <translation>The analysis window has no MTF to use as MTF %1. Measure one in the analysis window first.</translation>
    </message>
</context>
<context>
    <name>radmtf::Report</name>
    <message>
        <source>cycles/mm</source>
        <translation>cycles/mm</translation>
    </message>
    <message>
        <source>到達せず</source>
        <translation>not reached</translation>
    </message>
    <message>
        <source>空間周波数 (cycles/mm)</source>
        <translation>Spatial frequency (cycles/mm)</translation>
    </message>
    <message>
        <source>ナイキスト</source>
        <translation>Nyquist</translation>
    </message>
    <message>
        <source>ROI 中心</source>
        <translation>ROI centre</translation>
    </message>
    <message>
        <source>ROI サイズ</source>
        <translation>ROI size</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Orientation</translation>
    </message>
    <message>
        <source>平滑化</source>
        <translation>Smoothing</translation>
    </message>
    <message>
        <source>画素間隔 (mm)</source>
        <translation>Pixel spacing (mm)</translation>
    </message>
    <message>
        <source>特性曲線</source>
        <translation>Characteristic curve</translation>
    </message>
    <message>
        <source>プリサンプリング MTF 報告書</source>
        <translation>Presampled MTF report</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>File</translation>
    </message>
    <message>
        <source>作成日時</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>プログラム</source>
        <translation>Program</translation>
    </message>
    <message>
        <source>撮影条件</source>
        <translation>Acquisition</translation>
    </message>
    <message>
        <source>測定法</source>
        <translation>Method</translation>
    </message>
    <message>
        <source>測定できませんでした: %1</source>
        <translation>Not measured: %1</translation>
    </message>
    <message>
        <source>* 測定したバー群の間を補間した値</source>
        <translation>* interpolated between measured bar groups</translation>
    </message>
    <message>
        <source>ナイキスト周波数</source>
        <translation>Nyquist frequency</translation>
    </message>
    <message>
        <source>ナイキスト周波数での MTF</source>
        <translation>MTF at Nyquist</translation>
    </message>
    <message>
        <source>幾何 (Auto)</source>
        <translation>Geometry (Auto)</translation>
    </message>
    <message>
        <source>スリット幅 (mm)</source>
        <translation>Slit width (mm)</translation>
    </message>
    <message>
        <source>LSF 範囲 ± (mm)</source>
        <translation>LSF range ± (mm)</translation>
    </message>
    <message>
        <source>エッジの向き</source>
        <translation>Edge direction</translation>
    </message>
    <message>
        <source>縦</source>
        <translation>vertical</translation>
    </message>
    <message>
        <source>横</source>
        <translation>horizontal</translation>
    </message>
    <message>
        <source>エッジ角度 (度)</source>
        <translation>Edge angle (deg)</translation>
    </message>
    <message>
        <source>ESF ビン (画素)</source>
        <translation>ESF bin (pixel)</translation>
    </message>
    <message>
        <source>LSF テーパー</source>
        <translation>LSF taper</translation>
    </message>
    <message>
        <source>LSF コア ± (mm)</source>
        <translation>LSF core ± (mm)</translation>
    </message>
    <message>
        <source>裾の遮断周波数 (c/mm)</source>
        <translation>Tail fc (c/mm)</translation>
    </message>
    <message>
        <source>MTF 平滑化 (c/mm)</source>
        <translation>MTF smoothing (c/mm)</translation>
    </message>
    <message>
        <source>測定施設</source>
        <translation>Measured at</translation>
    </message>
    <message>
        <source>測定者</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>施設名 (画像)</source>
        <translation>Institution (image)</translation>
    </message>
    <message>
        <source>製造者</source>
        <translation>Manufacturer</translation>
    </message>
    <message>
        <source>型式</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>装置シリアル番号</source>
        <translation>Device serial number</translation>
    </message>
    <message>
        <source>検出器 ID</source>
        <translation>Detector ID</translation>
    </message>
    <message>
        <source>管電圧 (kV)</source>
        <translation>Tube voltage (kV)</translation>
    </message>
    <message>
        <source>曝射量 (µAs)</source>
        <translation>Exposure (µAs)</translation>
    </message>
    <message>
        <source>撮影日</source>
        <translation>Acquisition date</translation>
    </message>
    <message>
        <source>備考</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>スリット</source>
        <translation>Slit</translation>
    </message>
    <message>
        <source>矩形波チャート</source>
        <translation>Square-wave chart</translation>
    </message>
    <message>
        <source>スリット (精密)</source>
        <translation>Slit, precise</translation>
    </message>
    <message>
        <source>矩形波チャート (精密)</source>
        <translation>Square-wave chart, precise</translation>
    </message>
    <message>
        <source>エッジ</source>
        <translation>Edge</translation>
    </message>
    <message>
        <source>平坦画像</source>
        <translation>Flat field</translation>
    </message>
    <message>
        <source>エッジ画像 u</source>
        <translation>Edge image u</translation>
    </message>
    <message>
        <source>エッジ画像 v</source>
        <translation>Edge image v</translation>
    </message>
    <message>
        <source>MTF ファイル u</source>
        <translation>MTF file u</translation>
    </message>
    <message>
        <source>MTF ファイル v</source>
        <translation>MTF file v</translation>
    </message>
    <message>
        <source>変換関数</source>
        <translation>Conversion function</translation>
    </message>
    <message>
        <source>空気カーマ K (µGy)</source>
        <translation>Air kerma K (µGy)</translation>
    </message>
    <message>
        <source>線質</source>
        <translation>Beam quality</translation>
    </message>
    <message>
        <source>SNR²_in の表の版</source>
        <translation>SNR²_in table edition</translation>
    </message>
    <message>
        <source>SNR²_in (1/(mm² µGy))</source>
        <translation>SNR²_in (1/(mm² µGy))</translation>
    </message>
    <message>
        <source>q = K SNR²_in (1/mm²)</source>
        <translation>q = K SNR²_in (1/mm²)</translation>
    </message>
    <message>
        <source>データなし</source>
        <translation>No data</translation>
    </message>
    <message>
        <source>DQE 報告書 (IEC 62220-1-1)</source>
        <translation>DQE report (IEC 62220-1-1)</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>QA 情報 (1 枚目の平坦画像)</source>
        <translation>QA fields (first flat field)</translation>
    </message>
    <message>
        <source>測定できませんでした: </source>
        <translation>Could not be measured: </translation>
    </message>
    <message>
        <source>画素値</source>
        <translation>Pixel value</translation>
    </message>
    <message>
        <source>MTF</source>
        <translation>MTF</translation>
    </message>
    <message>
        <source>NNPS</source>
        <translation>NNPS</translation>
    </message>
    <message>
        <source>NNPS (mm²)</source>
        <translation>NNPS (mm²)</translation>
    </message>
    <message>
        <source>DQE</source>
        <translation>DQE</translation>
    </message>
    <message>
        <source>MTF u</source>
        <translation>MTF u</translation>
    </message>
    <message>
        <source>MTF v</source>
        <translation>MTF v</translation>
    </message>
    <message>
        <source>NNPS u (mm²)</source>
        <translation>NNPS u (mm²)</translation>
    </message>
    <message>
        <source>NNPS v (mm²)</source>
        <translation>NNPS v (mm²)</translation>
    </message>
    <message>
        <source>DQE u ± u</source>
        <translation>DQE u ± u</translation>
    </message>
    <message>
        <source>DQE v ± u</source>
        <translation>DQE v ± u</translation>
    </message>
    <message>
        <source>u (cycles/mm)</source>
        <translation>u (cycles/mm)</translation>
    </message>
    <message>
        <source>v (cycles/mm)</source>
        <translation>v (cycles/mm)</translation>
    </message>
    <message>
        <source>NNPS 報告書 (IEC 62220-1-1)</source>
        <translation>NNPS report (IEC 62220-1-1)</translation>
    </message>
    <message>
        <source>結果</source>
        <translation>Results</translation>
    </message>
    <message>
        <source>NNPS u ± u (mm²)</source>
        <translation>NNPS u ± u (mm²)</translation>
    </message>
    <message>
        <source>NNPS v ± u (mm²)</source>
        <translation>NNPS v ± u (mm²)</translation>
    </message>
    <message>
        <source>ROI (画素)</source>
        <translation>ROI (pixels)</translation>
    </message>
    <message>
        <source>解析範囲 (mm)</source>
        <translation>Analysed area (mm)</translation>
    </message>
    <message>
        <source>平均信号 (µGy)</source>
        <translation>Mean signal (µGy)</translation>
    </message>
    <message>
        <source>ROI の数</source>
        <translation>ROIs</translation>
    </message>
    <message>
        <source>独立な画素</source>
        <translation>Independent pixels</translation>
    </message>
    <message>
        <source>平均画素値</source>
        <translation>Mean pixel value</translation>
    </message>
    <message>
        <source>測定値</source>
        <translation>Measured</translation>
    </message>
    <message>
        <source>線形</source>
        <translation>linear</translation>
    </message>
    <message>
        <source>対数</source>
        <translation>log</translation>
    </message>
    <message>
        <source>K (µGy)</source>
        <translation>K (µGy)</translation>
    </message>
    <message>
        <source>残差 (線形)</source>
        <translation>Residual (linear)</translation>
    </message>
    <message>
        <source>残差 (対数)</source>
        <translation>Residual (log)</translation>
    </message>
    <message>
        <source>採用したモデル</source>
        <translation>Model chosen</translation>
    </message>
    <message>
        <source>R² (線形)</source>
        <translation>R² (linear)</translation>
    </message>
    <message>
        <source>R² (対数)</source>
        <translation>R² (log)</translation>
    </message>
</context>
<context>
    <name>radmtf::TForm1</name>
    <message>
        <source> No</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>Erement</source>
        <translation>Element</translation>
    </message>
    <message>
        <source>VR</source>
        <translation>VR</translation>
    </message>
    <message>
        <source>CHR#</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Viewer</source>
        <translation>Viewer</translation>
    </message>
    <message>
        <source>Reading image file </source>
        <translation>Open image file</translation>
    </message>
    <message>
        <source>FileList</source>
        <translation>File list</translation>
    </message>
    <message>
        <source>Form2</source>
        <translation>Analysis</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>Windowing</source>
        <translation>Windowing</translation>
    </message>
    <message>
        <source>Lebel</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>Disp</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>Swap</source>
        <translation>Swap</translation>
    </message>
    <message>
        <source>Invert</source>
        <translation>Invert</translation>
    </message>
    <message>
        <source>Range</source>
        <translation>Range</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Ave./SD</source>
        <translation>Avg/SD</translation>
    </message>
    <message>
        <source>Max/Min</source>
        <translation>Max/Min</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>OFF</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Home</translation>
    </message>
    <message>
        <source>Stat</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>Triming</source>
        <translation>Trimming</translation>
    </message>
    <message>
        <source>imgToCB</source>
        <translation>Copy picture</translation>
    </message>
    <message>
        <source>Calculation</source>
        <translation>Calculation</translation>
    </message>
    <message>
        <source>toMTF</source>
        <translation>To MTF</translation>
    </message>
    <message>
        <source>toWS</source>
        <translation>To WS</translation>
    </message>
    <message>
        <source>LockPara</source>
        <translation>Lock</translation>
    </message>
    <message>
        <source>Sign</source>
        <translation>Sign</translation>
    </message>
    <message>
        <source>Wide</source>
        <translation>Wide</translation>
    </message>
    <message>
        <source>Use</source>
        <translation>Use</translation>
    </message>
    <message>
        <source>Org</source>
        <translation>Org.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>File      Header      FOV       Colum      Row      Offset     Pixel    ShiftX ShiftY  FNo</source>
        <translation>File      Header      FOV       Column    Row      Offset     Pixel    ShiftX ShiftY  FNo</translation>
    </message>
    <message>
        <source>表示しているファイルのパス</source>
        <translation>Path of the file shown</translation>
    </message>
    <message>
        <source>表示倍率</source>
        <translation>Magnification</translation>
    </message>
    <message>
        <source>表示倍率を 0.1 上げる (画像の上で Ctrl + ホイールでも)</source>
        <translation>Magnify by 0.1 more (also Ctrl + wheel over the picture)</translation>
    </message>
    <message>
        <source>表示倍率を 0.1 下げる (画像の上で Ctrl + ホイールでも)</source>
        <translation>Magnify by 0.1 less (also Ctrl + wheel over the picture)</translation>
    </message>
    <message>
        <source>表示中の正方形の部分を時計回りに 90° 回す</source>
        <translation>Turn the square part in view 90° clockwise</translation>
    </message>
    <message>
        <source>表示中の正方形の部分を反時計回りに 90° 回す</source>
        <translation>Turn the square part in view 90° counter-clockwise</translation>
    </message>
    <message>
        <source>画像を上下に反転する</source>
        <translation>Flip the image top to bottom</translation>
    </message>
    <message>
        <source>画像を左右に反転する</source>
        <translation>Flip the image left to right</translation>
    </message>
    <message>
        <source>列数と行数を入れ替える</source>
        <translation>Exchange the column and row counts</translation>
    </message>
    <message>
        <source>画像: ROI ツールの左ドラッグで ROI を移動・変形、右ドラッグでウィンドウを変える</source>
        <translation>The picture: left-drag with the ROI tool moves or resizes the ROI, right-drag changes the window</translation>
    </message>
    <message>
        <source>選んだ形式でファイルを開く</source>
        <translation>Open a file in the chosen format</translation>
    </message>
    <message>
        <source>フォルダーのファイル一覧を作る (ホイールで順に表示)</source>
        <translation>List the folder&apos;s files (the wheel steps through them)</translation>
    </message>
    <message>
        <source>解析ウィンドウを表示する</source>
        <translation>Show the analysis window</translation>
    </message>
    <message>
        <source>ファイルの形式: 8 ビット raw、16 ビット raw、DICOM</source>
        <translation>File format: 8-bit raw, 16-bit raw or DICOM</translation>
    </message>
    <message>
        <source>DICOM ファイルの撮影条件の要約 (機種、kV、mAs など)</source>
        <translation>Acquisition summary of a DICOM file (model, kV, mAs, ...)</translation>
    </message>
    <message>
        <source>ウィンドウレベル: 灰色の中央になる画素値</source>
        <translation>Window level: the pixel value shown as middle gray</translation>
    </message>
    <message>
        <source>ウィンドウ幅: 黒から白までの画素値の幅</source>
        <translation>Window width: the range of pixel values from black to white</translation>
    </message>
    <message>
        <source>入力した値で表示し直す</source>
        <translation>Show the image again with the values typed</translation>
    </message>
    <message>
        <source>画像の中央部からウィンドウを決める</source>
        <translation>Set the window from the central half of the image</translation>
    </message>
    <message>
        <source>16 ビット画素のバイト順を入れ替える</source>
        <translation>Swap the bytes of 16-bit samples</translation>
    </message>
    <message>
        <source>白黒を反転して表示する</source>
        <translation>Show the gray scale inverted</translation>
    </message>
    <message>
        <source>右ドラッグでウィンドウを変えるときの刻み</source>
        <translation>Step of the window change when dragging with the right button</translation>
    </message>
    <message>
        <source>ROI の中心の列</source>
        <translation>Column of the ROI&apos;s centre</translation>
    </message>
    <message>
        <source>ROI の中心の行</source>
        <translation>Row of the ROI&apos;s centre</translation>
    </message>
    <message>
        <source>ROI の幅 (右クリックで正方形の大きさを選ぶ)</source>
        <translation>ROI width (right-click for square sizes)</translation>
    </message>
    <message>
        <source>ROI の高さ (右クリックで正方形の大きさを選ぶ)</source>
        <translation>ROI height (right-click for square sizes)</translation>
    </message>
    <message>
        <source>ROI の平均値</source>
        <translation>Mean of the ROI</translation>
    </message>
    <message>
        <source>ROI の標準偏差</source>
        <translation>Standard deviation of the ROI</translation>
    </message>
    <message>
        <source>ROI の最大値</source>
        <translation>Maximum of the ROI</translation>
    </message>
    <message>
        <source>ROI の最小値</source>
        <translation>Minimum of the ROI</translation>
    </message>
    <message>
        <source>左ボタンの働き: ROI の操作、表示の移動、ROI を隠す、倍率 1 に戻す</source>
        <translation>Left-button tool: edit the ROI, pan the view, hide the ROI, back to magnification 1</translation>
    </message>
    <message>
        <source>ROI の統計を計算する</source>
        <translation>Compute the ROI statistics</translation>
    </message>
    <message>
        <source>ROI の部分をヘッダーなしの 16 ビットファイルに保存する</source>
        <translation>Save the ROI block as a headerless 16-bit file</translation>
    </message>
    <message>
        <source>表示している画像をクリップボードにコピーする</source>
        <translation>Copy the picture as shown to the clipboard</translation>
    </message>
    <message>
        <source>ROI の画素値を解析ウィンドウに渡す</source>
        <translation>Hand the ROI&apos;s pixel values to the analysis window</translation>
    </message>
    <message>
        <source>使われていません</source>
        <translation>Not used</translation>
    </message>
    <message>
        <source>使われていません (16 ビット画素は常に符号付き)</source>
        <translation>Not used (16-bit samples are always signed)</translation>
    </message>
    <message>
        <source>プログラムを終了する</source>
        <translation>Quit the program</translation>
    </message>
    <message>
        <source>フォルダーのファイル一覧</source>
        <translation>The folder&apos;s files</translation>
    </message>
    <message>
        <source>DICOM 辞書</source>
        <translation>The DICOM dictionary</translation>
    </message>
    <message>
        <source>DICOM 要素の一覧 (ダブルクリックで拡大・縮小)</source>
        <translation>DICOM elements of the file (double-click to enlarge or shrink)</translation>
    </message>
    <message>
        <source>ファイルの大きさ (バイト)</source>
        <translation>File size (bytes)</translation>
    </message>
    <message>
        <source>画素データの前のバイト数</source>
        <translation>Bytes before the pixel data</translation>
    </message>
    <message>
        <source>DICOM の撮影視野</source>
        <translation>Field of view from the DICOM header</translation>
    </message>
    <message>
        <source>画像の列数</source>
        <translation>Columns of the image</translation>
    </message>
    <message>
        <source>画像の行数</source>
        <translation>Rows of the image</translation>
    </message>
    <message>
        <source>画素値に加える値 (rescale intercept)</source>
        <translation>Value added to the samples (rescale intercept)</translation>
    </message>
    <message>
        <source>画素間隔 (mm)</source>
        <translation>Pixel spacing (mm)</translation>
    </message>
    <message>
        <source>表示の横方向のずれ</source>
        <translation>Horizontal shift of the view</translation>
    </message>
    <message>
        <source>表示の縦方向のずれ</source>
        <translation>Vertical shift of the view</translation>
    </message>
    <message>
        <source>ホイールで次に表示する一覧の番号</source>
        <translation>Number of the list entry the wheel shows next</translation>
    </message>
    <message>
        <source> 8bit</source>
        <translation> 8bit</translation>
    </message>
    <message>
        <source>16bit</source>
        <translation>16bit</translation>
    </message>
    <message>
        <source>検出</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>画像の中のエッジ・スリット・チャートを探して ROI を置く (押すたびに次の候補)</source>
        <translation>Finds the edges, the slit or the chart in the image and puts the ROI on one (the next one on each click)</translation>
    </message>
    <message>
        <source>ノイズ/DQE</source>
        <translation>Noise/DQE</translation>
    </message>
    <message>
        <source>ノイズと DQE のウィンドウを表示する</source>
        <translation>Show the noise and DQE window</translation>
    </message>
</context>
<context>
    <name>radmtf::TForm2</name>
    <message>
        <source>Form2</source>
        <translation>Analysis</translation>
    </message>
    <message>
        <source>toCB</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>Profile</translation>
    </message>
    <message>
        <source>Distance (mm)</source>
        <translation>Distance (mm)</translation>
    </message>
    <message>
        <source>Pixel value</source>
        <translation>Pixel value</translation>
    </message>
    <message>
        <source>Sync</source>
        <translation>Sync</translation>
    </message>
    <message>
        <source>Smooth</source>
        <translation>Smooth</translation>
    </message>
    <message>
        <source>MA-Line#</source>
        <translation>MA-Line#</translation>
    </message>
    <message>
        <source>2Dto1D</source>
        <translation>2D to 1D</translation>
    </message>
    <message>
        <source>Extract</source>
        <translation>Extract</translation>
    </message>
    <message>
        <source>ToExp</source>
        <translation>Exposure</translation>
    </message>
    <message>
        <source>SWC-Method</source>
        <translation>Bar chart method</translation>
    </message>
    <message>
        <source>CalMTF</source>
        <translation>Calculate MTF</translation>
    </message>
    <message>
        <source>MTF</source>
        <translation>MTF</translation>
    </message>
    <message>
        <source>Spatial frequency (cycles/mm)</source>
        <translation>Spatial frequency (cycles/mm)</translation>
    </message>
    <message>
        <source>Freqency</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>Power(n)</source>
        <translation>Degree</translation>
    </message>
    <message>
        <source>Fitting</source>
        <translation>Fit</translation>
    </message>
    <message>
        <source>Line spread function</source>
        <translation>Line spread function</translation>
    </message>
    <message>
        <source>Position (mm)</source>
        <translation>Position (mm)</translation>
    </message>
    <message>
        <source>Log Exposure</source>
        <translation>Exposure (log)</translation>
    </message>
    <message>
        <source>Trancation</source>
        <translation>Truncation</translation>
    </message>
    <message>
        <source>Slit-Method</source>
        <translation>Slit method</translation>
    </message>
    <message>
        <source>PixelValue</source>
        <translation>Pixel values</translation>
    </message>
    <message>
        <source>LSF</source>
        <translation>LSF</translation>
    </message>
    <message>
        <source>PixelDist</source>
        <translation>Pixel spacing</translation>
    </message>
    <message>
        <source>Log(Exp.Area)</source>
        <translation>Log exp. range</translation>
    </message>
    <message>
        <source>BitsStored</source>
        <translation>Bits stored</translation>
    </message>
    <message>
        <source>UseHDC</source>
        <translation>Use hdc.txt</translation>
    </message>
    <message>
        <source>ToForm1</source>
        <translation>Viewer</translation>
    </message>
    <message>
        <source>Equip.</source>
        <translation>Equipment</translation>
    </message>
    <message>
        <source>swapX/Y</source>
        <translation>Swap X/Y</translation>
    </message>
    <message>
        <source>SWC</source>
        <translation>Chart</translation>
    </message>
    <message>
        <source>SLIT</source>
        <translation>Slit</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Image</translation>
    </message>
    <message>
        <source>ROI の画素値の表</source>
        <translation>Table of the ROI&apos;s pixel values</translation>
    </message>
    <message>
        <source>画素値の表をクリップボードにコピーする</source>
        <translation>Copy the pixel table to the clipboard</translation>
    </message>
    <message>
        <source>合成プロファイル (右クリックで保存・コピー)</source>
        <translation>Composite profile (right-click to save or copy)</translation>
    </message>
    <message>
        <source>クリックでプロファイルの点数を表示する</source>
        <translation>Click to show the number of profile points</translation>
    </message>
    <message>
        <source>プロファイルをクリップボードにコピーする</source>
        <translation>Copy the profile to the clipboard</translation>
    </message>
    <message>
        <source>平滑化の幅を MA-Line# に合わせる</source>
        <translation>Tie the smoothing width to MA-Line#</translation>
    </message>
    <message>
        <source>平滑化 (移動平均) の幅</source>
        <translation>Smoothing (moving average) width</translation>
    </message>
    <message>
        <source>平滑化の幅を増減する</source>
        <translation>Step the smoothing width</translation>
    </message>
    <message>
        <source>プロファイルを平滑化して表示する</source>
        <translation>Smooth the profile and draw it</translation>
    </message>
    <message>
        <source>MA-Line#: スリットやチャートが 1 画素ずれるまでの行数</source>
        <translation>MA-Line#: rows over which the slit or chart moves by one pixel</translation>
    </message>
    <message>
        <source>MA-Line# を増減してプロファイルを作り直す</source>
        <translation>Step MA-Line# and rebuild the profile</translation>
    </message>
    <message>
        <source>画素値の表から細かく標本化したプロファイルを作る</source>
        <translation>Build the finely sampled profile from the pixel table</translation>
    </message>
    <message>
        <source>平坦な両端を切り、2048 点以下に間引く</source>
        <translation>Cut the flat ends and halve the profile to at most 2048 points</translation>
    </message>
    <message>
        <source>プロファイルを露光量に変換して LSF を表示する</source>
        <translation>Convert the profile to exposure and draw the LSF</translation>
    </message>
    <message>
        <source>抽出したプロファイルの一覧</source>
        <translation>Listing of the extracted profile</translation>
    </message>
    <message>
        <source>矩形波チャート法で MTF を計算する</source>
        <translation>Calculate the MTF by the square-wave chart method</translation>
    </message>
    <message>
        <source>MTF (右クリックで保存・コピー・レポート)</source>
        <translation>MTF (right-click to save, copy or report)</translation>
    </message>
    <message>
        <source>スリット法またはフィッティングの MTF (右クリックで CSV に保存)</source>
        <translation>MTF of the slit method or the fit (right-click to save as CSV)</translation>
    </message>
    <message>
        <source>矩形波チャート法の MTF (右クリックで CSV に保存)</source>
        <translation>MTF of the chart method (right-click to save as CSV)</translation>
    </message>
    <message>
        <source>フィッティングした MTF の細かい表 (右クリックで CSV に保存)</source>
        <translation>Fine table of the fitted MTF (right-click to save as CSV)</translation>
    </message>
    <message>
        <source>フィッティングする周波数の上限</source>
        <translation>Highest frequency to fit</translation>
    </message>
    <message>
        <source>フィッティングする多項式の次数</source>
        <translation>Degree of the fitted polynomial</translation>
    </message>
    <message>
        <source>多項式の次数を増減する</source>
        <translation>Step the degree of the polynomial</translation>
    </message>
    <message>
        <source>測定した MTF に多項式を当てはめる</source>
        <translation>Fit a polynomial to the measured MTF</translation>
    </message>
    <message>
        <source>LSF (点をクリックすると裾の外挿開始点になる; 右クリックで保存・コピー)</source>
        <translation>LSF (click a point to start the tail fit there; right-click to save or copy)</translation>
    </message>
    <message>
        <source>LSF の両裾を指数関数で置き換える</source>
        <translation>Replace the LSF&apos;s tails by exponential fits</translation>
    </message>
    <message>
        <source>選んだ点の番号</source>
        <translation>Index of the chosen point</translation>
    </message>
    <message>
        <source>選んだ点の位置 (mm)</source>
        <translation>Position of the chosen point (mm)</translation>
    </message>
    <message>
        <source>選んだ点の値</source>
        <translation>Value of the chosen point</translation>
    </message>
    <message>
        <source>スリット法で MTF を計算する</source>
        <translation>Calculate the MTF by the slit method</translation>
    </message>
    <message>
        <source>LSF の点数</source>
        <translation>Number of LSF points</translation>
    </message>
    <message>
        <source>画素間隔 (mm)</source>
        <translation>Pixel spacing (mm)</translation>
    </message>
    <message>
        <source>L: 画素値の全範囲が表す露光量の桁数</source>
        <translation>L: decades of exposure over the full pixel range</translation>
    </message>
    <message>
        <source>BitsStored: 画素値のビット数</source>
        <translation>BitsStored: bits of the pixel values</translation>
    </message>
    <message>
        <source>画像と同じフォルダーの hdc.txt (特性曲線) で露光量に変換する</source>
        <translation>Convert to exposure through hdc.txt (characteristic curve) beside the image</translation>
    </message>
    <message>
        <source>使われていません</source>
        <translation>Not used</translation>
    </message>
    <message>
        <source>特性曲線ファイルの内容</source>
        <translation>Contents of the characteristic-curve file</translation>
    </message>
    <message>
        <source>ビューアウィンドウを表示する</source>
        <translation>Show the viewer window</translation>
    </message>
    <message>
        <source>装置の設定 (画素間隔、ビット数、L) をまとめて選ぶ</source>
        <translation>Equipment presets (pixel spacing, bits, L)</translation>
    </message>
    <message>
        <source>画素値の表を行と列を入れ替えてコピーする</source>
        <translation>Copy the pixel table with rows and columns exchanged</translation>
    </message>
    <message>
        <source>向き 1: スリットとチャートに共通 (線はほぼ縦、下の行ほど右へ)</source>
        <translation>Orientation 1, shared by slit and chart: lines nearly vertical, shifting right row by row</translation>
    </message>
    <message>
        <source>向き 2: スリットとチャートに共通 (線はほぼ縦、下の行ほど左へ)</source>
        <translation>Orientation 2, shared by slit and chart: lines nearly vertical, shifting left row by row</translation>
    </message>
    <message>
        <source>向き 3: スリットとチャートに共通 (線はほぼ横、右の列ほど下へ)</source>
        <translation>Orientation 3, shared by slit and chart: lines nearly horizontal, shifting down column by column</translation>
    </message>
    <message>
        <source>向き 4: スリットとチャートに共通 (線はほぼ横、右の列ほど上へ)</source>
        <translation>Orientation 4, shared by slit and chart: lines nearly horizontal, shifting up column by column</translation>
    </message>
    <message>
        <source>MTF50、MTF10: MTF が 0.5、0.1 に下がる周波数 (cycles/mm)、Nyq.: ナイキスト周波数での MTF</source>
        <translation>MTF50, MTF10: frequencies (cycles/mm) where the MTF falls to 0.5 and 0.1; Nyq.: the MTF at the Nyquist frequency</translation>
    </message>
    <message>
        <source>測定の 1 ページの PDF レポートを保存する</source>
        <translation>Save a one-page PDF report of the measurement</translation>
    </message>
    <message>
        <source>選んだ向きのチャート (上) とスリット (下)</source>
        <translation>Chart (top) and slit (bottom) in the chosen orientation</translation>
    </message>
    <message>
        <source>Report…</source>
        <translation>Report…</translation>
    </message>
    <message>
        <source>Save image…</source>
        <translation>Save image…</translation>
    </message>
    <message>
        <source>Copy image</source>
        <translation>Copy image</translation>
    </message>
    <message>
        <source>Save data (CSV)…</source>
        <translation>Save data (CSV)…</translation>
    </message>
    <message>
        <source>Save as CSV…</source>
        <translation>Save as CSV…</translation>
    </message>
    <message>
        <source>not reached</source>
        <translation>not reached</translation>
    </message>
    <message>
        <source>Nyq.</source>
        <translation>Nyq.</translation>
    </message>
    <message>
        <source>0.1mm       10bit   L4.0</source>
        <translation>0.1mm       10bit   L4.0</translation>
    </message>
    <message>
        <source>0.0875mm   12bit  L4.0</source>
        <translation>0.0875mm   12bit  L4.0</translation>
    </message>
    <message>
        <source>0.1mm       12bit   L4.0   </source>
        <translation>0.1mm       12bit   L4.0   </translation>
    </message>
    <message>
        <source>Slt_XCW</source>
        <translation>Slt_XCW</translation>
    </message>
    <message>
        <source>Slt_YCW</source>
        <translation>Slt_YCW</translation>
    </message>
    <message>
        <source>Slt_XCCW</source>
        <translation>Slt_XCCW</translation>
    </message>
    <message>
        <source>Slt_YCCW</source>
        <translation>Slt_YCCW</translation>
    </message>
    <message>
        <source>Edge spread function</source>
        <translation>Edge spread function</translation>
    </message>
    <message>
        <source>Exposure</source>
        <translation>Exposure</translation>
    </message>
    <message>
        <source>Edge-Method</source>
        <translation>Edge method</translation>
    </message>
    <message>
        <source>Angle(deg)</source>
        <translation>Angle (deg)</translation>
    </message>
    <message>
        <source>Bin(pixel)</source>
        <translation>Bin (pixel)</translation>
    </message>
    <message>
        <source>LSF±(mm)</source>
        <translation>LSF ± (mm)</translation>
    </message>
    <message>
        <source>Taper</source>
        <translation>Taper</translation>
    </message>
    <message>
        <source>Core±(mm)</source>
        <translation>Core ± (mm)</translation>
    </message>
    <message>
        <source>Tail fc(c/mm)</source>
        <translation>Tail fc (c/mm)</translation>
    </message>
    <message>
        <source>Smooth(c/mm)</source>
        <translation>Smooth (c/mm)</translation>
    </message>
    <message>
        <source>Edge</source>
        <translation>Edge</translation>
    </message>
    <message>
        <source>エッジ広がり関数 (右クリックで保存・コピー)</source>
        <translation>Edge spread function (right-click to save or copy)</translation>
    </message>
    <message>
        <source>ESF を微分した LSF (右クリックで保存・コピー)</source>
        <translation>The LSF, the derivative of the ESF (right-click to save or copy)</translation>
    </message>
    <message>
        <source>エッジ法で MTF を計算する</source>
        <translation>Calculate the MTF by the edge method</translation>
    </message>
    <message>
        <source>推定したエッジの傾き (度)</source>
        <translation>The estimated tilt of the edge (degrees)</translation>
    </message>
    <message>
        <source>ESF のビン幅 (画素)</source>
        <translation>Bin width of the ESF (pixels)</translation>
    </message>
    <message>
        <source>使う LSF の範囲: エッジから ± この距離 (mm)</source>
        <translation>LSF range used: ± this distance from the edge (mm)</translation>
    </message>
    <message>
        <source>LSF の窓の外側でコサインで減衰させる割合 (0～1)</source>
        <translation>Outer fraction of the LSF window faded out with a cosine (0–1)</translation>
    </message>
    <message>
        <source>すべての周波数で全重みで数える LSF の範囲 ± (mm); 0 で全範囲</source>
        <translation>LSF range ± (mm) counted in full at every frequency; 0: the whole window</translation>
    </message>
    <message>
        <source>芯の外の LSF の重みを半分にする周波数 (cycles/mm)</source>
        <translation>Frequency at which the LSF outside the core counts half (cycles/mm)</translation>
    </message>
    <message>
        <source>MTF を平均する周波数の幅 (cycles/mm); 0 で平均しない</source>
        <translation>Frequency interval over which the MTF is averaged (cycles/mm); 0: none</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>Precise</source>
        <translation>Precise</translation>
    </message>
    <message>
        <source>Chart MTF</source>
        <translation>Chart MTF</translation>
    </message>
    <message>
        <source>Slit MTF</source>
        <translation>Slit MTF</translation>
    </message>
    <message>
        <source>Slit (mm)</source>
        <translation>Slit (mm)</translation>
    </message>
    <message>
        <source>LSF ± (mm)</source>
        <translation>LSF ± (mm)</translation>
    </message>
    <message>
        <source>画素値の表から線の向きと傾きを推定し、向きと MA-Line# を設定する</source>
        <translation>Estimate the lines&apos; direction and tilt from the pixel table; set the orientation and MA-Line#</translation>
    </message>
    <message>
        <source>Auto が推定した MA-Line# と向き</source>
        <translation>MA-Line# and orientation estimated by Auto</translation>
    </message>
    <message>
        <source>チャートの CalMTF を全行・正確な位置・整数周期で測る精密モードにする</source>
        <translation>Calculate MTF of the chart uses every line, exact positions and whole periods (precise mode)</translation>
    </message>
    <message>
        <source>Auto から CalMTF までチャート法を一度に実行する</source>
        <translation>Run the chart method from Auto to Calculate MTF in one go</translation>
    </message>
    <message>
        <source>スリットの CalMTF を全行・正確な位置で測る精密モードにする</source>
        <translation>Calculate MTF of the slit uses every line at exact positions (precise mode)</translation>
    </message>
    <message>
        <source>Auto から CalMTF までスリット法を一度に実行する</source>
        <translation>Run the slit method from Auto to Calculate MTF in one go</translation>
    </message>
    <message>
        <source>スリット幅 (mm): 精密モードでその開口の影響を除く (0 で除かない)</source>
        <translation>Slit width (mm): the precise mode removes its aperture&apos;s effect (0: not removed)</translation>
    </message>
    <message>
        <source>精密モードで使う LSF の範囲: ピークから ± この距離 (mm)</source>
        <translation>LSF range of the precise mode: ± this distance from the peak (mm)</translation>
    </message>
    <message>
        <source>ナイキスト周波数より上</source>
        <translation>beyond Nyquist</translation>
    </message>
    <message>
        <source>変調度が低い</source>
        <translation>low modulation</translation>
    </message>
    <message>
        <source>報告書の記入事項…</source>
        <translation>Report notes…</translation>
    </message>
    <message>
        <source>測定施設</source>
        <translation>Measured at</translation>
    </message>
    <message>
        <source>測定者</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>備考</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>報告書の記入事項</source>
        <translation>Report notes</translation>
    </message>
    <message>
        <source>露光量への変換関数: model (L と BitsStored), linear, log, file (測定した変換関数のファイル)</source>
        <translation>Conversion function to exposure: model (L and BitsStored), linear, log, file (a measured conversion function)</translation>
    </message>
    <message>
        <source>変換関数のパラメーター (linear: OFFSET,GAIN / log: C0,C1[,KREF]) またはファイルのパス</source>
        <translation>The conversion function&apos;s parameters (linear: OFFSET,GAIN / log: C0,C1[,KREF]) or its file&apos;s path</translation>
    </message>
    <message>
        <source>Adaptive</source>
        <translation>Adaptive</translation>
    </message>
    <message>
        <source>Reach×</source>
        <translation>Reach×</translation>
    </message>
    <message>
        <source>周波数 f で ± C / f mm の LSF を使う窓の C; 0 で使わない</source>
        <translation>C of the window that uses the LSF within ± C / f mm at frequency f; 0: not used</translation>
    </message>
    <message>
        <source>LSF の窓を LSF の届く距離のこの倍にする; 0 で LSF の範囲全体</source>
        <translation>The LSF window is this many times the LSF&apos;s reach; 0: the whole LSF range</translation>
    </message>
</context>
<context>
    <name>radmtf::TForm3</name>
    <message>
        <source>cycles/mm</source>
        <translation>cycles/mm</translation>
    </message>
    <message>
        <source>NNPS u (mm²)</source>
        <translation>NNPS u (mm²)</translation>
    </message>
    <message>
        <source>u(NNPS u)</source>
        <translation>u(NNPS u)</translation>
    </message>
    <message>
        <source>NNPS v (mm²)</source>
        <translation>NNPS v (mm²)</translation>
    </message>
    <message>
        <source>u(NNPS v)</source>
        <translation>u(NNPS v)</translation>
    </message>
    <message>
        <source>平均信号 %1 µGy、ROI %2 個、独立な画素 %3 個</source>
        <translation>Mean signal %1 µGy, %2 ROIs, %3 independent pixels</translation>
    </message>
    <message>
        <source>変換関数 %1</source>
        <translation>Conversion function %1</translation>
    </message>
    <message>
        <source>MTF u</source>
        <translation>MTF u</translation>
    </message>
    <message>
        <source>MTF v</source>
        <translation>MTF v</translation>
    </message>
    <message>
        <source>DQE u ± u</source>
        <translation>DQE u ± u</translation>
    </message>
    <message>
        <source>DQE v ± u</source>
        <translation>DQE v ± u</translation>
    </message>
    <message>
        <source>SNR²_in %1 /(mm² µGy)、q %2 /mm²</source>
        <translation>SNR²_in %1 /(mm² µGy), q %2 /mm²</translation>
    </message>
    <message>
        <source>エッジ画像 u: %1</source>
        <translation>Edge image u: %1</translation>
    </message>
    <message>
        <source>エッジ画像 v: %1</source>
        <translation>Edge image v: %1</translation>
    </message>
    <message>
        <source>空間周波数 (cycles/mm)</source>
        <translation>Spatial frequency (cycles/mm)</translation>
    </message>
    <message>
        <source>ノイズと DQE</source>
        <translation>Noise and DQE</translation>
    </message>
    <message>
        <source>平坦画像</source>
        <translation>Flat fields</translation>
    </message>
    <message>
        <source>ファイルを追加</source>
        <translation>Add files</translation>
    </message>
    <message>
        <source>フォルダーを追加</source>
        <translation>Add folder</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>すべて削除</source>
        <translation>Remove all</translation>
    </message>
    <message>
        <source>変換関数 (画素値 → 空気カーマ)</source>
        <translation>Conversion function (pixel value → air kerma)</translation>
    </message>
    <message>
        <source>モデル</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>線形</source>
        <translation>Linear</translation>
    </message>
    <message>
        <source>対数</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>特性曲線</source>
        <translation>Characteristic curve</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>File</translation>
    </message>
    <message>
        <source>参照…</source>
        <translation>Browse…</translation>
    </message>
    <message>
        <source>L (桁)</source>
        <translation>L (decades)</translation>
    </message>
    <message>
        <source>BitsStored</source>
        <translation>BitsStored</translation>
    </message>
    <message>
        <source>オフセット / C0</source>
        <translation>Offset / C0</translation>
    </message>
    <message>
        <source>ゲイン / C1</source>
        <translation>Gain / C1</translation>
    </message>
    <message>
        <source>KREF (µGy)</source>
        <translation>KREF (µGy)</translation>
    </message>
    <message>
        <source>画素間隔 (mm)</source>
        <translation>Pixel spacing (mm)</translation>
    </message>
    <message>
        <source>空気カーマ K (µGy)</source>
        <translation>Air kerma K (µGy)</translation>
    </message>
    <message>
        <source>DQE の MTF と線質</source>
        <translation>The DQE&apos;s MTF and beam quality</translation>
    </message>
    <message>
        <source>MTF ファイル</source>
        <translation>MTF file</translation>
    </message>
    <message>
        <source>エッジ画像</source>
        <translation>Edge image</translation>
    </message>
    <message>
        <source>線質</source>
        <translation>Beam quality</translation>
    </message>
    <message>
        <source>SNR²_in</source>
        <translation>SNR²_in</translation>
    </message>
    <message>
        <source>2015 年版の表</source>
        <translation>2015 table</translation>
    </message>
    <message>
        <source>2003 年版の表</source>
        <translation>2003 table</translation>
    </message>
    <message>
        <source>入力</source>
        <translation>Typed</translation>
    </message>
    <message>
        <source>NNPS</source>
        <translation>NNPS</translation>
    </message>
    <message>
        <source>NNPS (mm²)</source>
        <translation>NNPS (mm²)</translation>
    </message>
    <message>
        <source>CSV 保存</source>
        <translation>Save CSV</translation>
    </message>
    <message>
        <source>報告書 PDF</source>
        <translation>Report PDF</translation>
    </message>
    <message>
        <source>2 次元 NNPS の PNG</source>
        <translation>2-D NNPS PNG</translation>
    </message>
    <message>
        <source>DQE</source>
        <translation>DQE</translation>
    </message>
    <message>
        <source>NNPS と DQE に使う平坦画像 (同じ大きさと画素間隔)</source>
        <translation>The flat fields of the NNPS and the DQE (all of one size and pixel spacing)</translation>
    </message>
    <message>
        <source>平坦画像のファイルを一覧に加える</source>
        <translation>Add flat-field files to the list</translation>
    </message>
    <message>
        <source>選んだファイルのフォルダーにあるすべてのファイルを加える</source>
        <translation>Add every file in the folder of the file chosen</translation>
    </message>
    <message>
        <source>選んだファイルを一覧から外す</source>
        <translation>Remove the selected files from the list</translation>
    </message>
    <message>
        <source>一覧を空にする</source>
        <translation>Empty the list</translation>
    </message>
    <message>
        <source>画素値を空気カーマに変換する関数</source>
        <translation>The function converting pixel values to air kerma</translation>
    </message>
    <message>
        <source>モデル: 画素値の範囲が表す露光量の桁数 L</source>
        <translation>Model: L, the decades of exposure over the pixel range</translation>
    </message>
    <message>
        <source>モデル: BitsStored B</source>
        <translation>Model: BitsStored B</translation>
    </message>
    <message>
        <source>線形: PV = OFFSET + GAIN K の OFFSET、対数: PV = C0 + C1 log10(K/KREF) の C0</source>
        <translation>Linear: OFFSET of PV = OFFSET + GAIN K; log: C0 of PV = C0 + C1 log10(K/KREF)</translation>
    </message>
    <message>
        <source>線形の GAIN、対数の C1</source>
        <translation>Linear: GAIN; log: C1</translation>
    </message>
    <message>
        <source>対数の KREF (空欄: 1 µGy)</source>
        <translation>Log: KREF (empty: 1 µGy)</translation>
    </message>
    <message>
        <source>特性曲線ファイル、または conversion で測った変換関数のファイル</source>
        <translation>A characteristic-curve file, or a conversion file measured by `measure conversion`</translation>
    </message>
    <message>
        <source>変換関数のファイルを選ぶ</source>
        <translation>Choose the conversion file</translation>
    </message>
    <message>
        <source>画素間隔 (mm、空欄: ファイルの値)</source>
        <translation>Pixel spacing (mm; empty: the file&apos;s)</translation>
    </message>
    <message>
        <source>検出器面の空気カーマ (µGy、DQE には必須)</source>
        <translation>Air kerma at the detector (µGy; required for the DQE)</translation>
    </message>
    <message>
        <source>NNPS と DQE のページ</source>
        <translation>The NNPS and DQE pages</translation>
    </message>
    <message>
        <source>u 方向の MTF のファイル (空欄: なし)</source>
        <translation>The file of the MTF along u (empty: none)</translation>
    </message>
    <message>
        <source>v 方向の MTF のファイル (空欄: なし)</source>
        <translation>The file of the MTF along v (empty: none)</translation>
    </message>
    <message>
        <source>u 方向の MTF のファイルを選ぶ</source>
        <translation>Choose the file of the MTF along u</translation>
    </message>
    <message>
        <source>v 方向の MTF のファイルを選ぶ</source>
        <translation>Choose the file of the MTF along v</translation>
    </message>
    <message>
        <source>線質 (SNR²_in の表の行)</source>
        <translation>Beam quality (the row of the SNR²_in table)</translation>
    </message>
    <message>
        <source>SNR²_in: IEC 62220-1-1 の表の版、または入力した値</source>
        <translation>SNR²_in: the edition of the IEC 62220-1-1 table, or a typed value</translation>
    </message>
    <message>
        <source>入力する SNR²_in (1/(mm²·µGy))</source>
        <translation>SNR²_in typed (1/(mm²·µGy))</translation>
    </message>
    <message>
        <source>平坦画像の NNPS を測る</source>
        <translation>Measure the NNPS of the flat fields</translation>
    </message>
    <message>
        <source>NNPS を measure nnps と同じ CSV で保存する</source>
        <translation>Save the NNPS as the CSV that measure nnps writes</translation>
    </message>
    <message>
        <source>NNPS の報告書を PDF で保存する</source>
        <translation>Save the NNPS report as a PDF</translation>
    </message>
    <message>
        <source>2 次元 NNPS を PNG で保存する</source>
        <translation>Save the 2-D NNPS as a PNG</translation>
    </message>
    <message>
        <source>u と v の NNPS</source>
        <translation>The NNPS along u and v</translation>
    </message>
    <message>
        <source>NNPS の値と標準不確かさ</source>
        <translation>The NNPS and its standard uncertainty</translation>
    </message>
    <message>
        <source>平均信号、ROI と画素の数、警告</source>
        <translation>Mean signal, numbers of ROIs and pixels, warnings</translation>
    </message>
    <message>
        <source>平坦画像と MTF から DQE を求める</source>
        <translation>Compute the DQE from the flat fields and the MTF</translation>
    </message>
    <message>
        <source>DQE を measure dqe と同じ CSV で保存する</source>
        <translation>Save the DQE as the CSV that measure dqe writes</translation>
    </message>
    <message>
        <source>DQE の報告書を PDF で保存する</source>
        <translation>Save the DQE report as a PDF</translation>
    </message>
    <message>
        <source>u と v の DQE</source>
        <translation>The DQE along u and v</translation>
    </message>
    <message>
        <source>MTF、NNPS と DQE の値</source>
        <translation>MTF, NNPS and DQE values</translation>
    </message>
    <message>
        <source>SNR²_in、q、使ったエッジ画像、警告</source>
        <translation>SNR²_in, q, the edge images used, warnings</translation>
    </message>
    <message>
        <source>解析ウィンドウの MTF</source>
        <translation>The analysis window&apos;s MTF</translation>
    </message>
    <message>
        <source>u 方向の MTF: measure の CSV/JSON、縦のエッジの画像、または解析ウィンドウの最後の測定</source>
        <translation>The MTF along u: a measure CSV/JSON, an image of a vertical edge, or the analysis window&apos;s last measurement</translation>
    </message>
    <message>
        <source>v 方向の MTF: measure の CSV/JSON、横のエッジの画像、または解析ウィンドウの最後の測定</source>
        <translation>The MTF along v: a measure CSV/JSON, an image of a horizontal edge, or the analysis window&apos;s last measurement</translation>
    </message>
</context>
</TS>
