#include "measure/measurement.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <iterator>
#include <limits>
#include <memory>
#include <stdexcept>

#include "analysis/composite_profile.h"
#include "analysis/exposure.h"
#include "core/failure.h"
#include "core/numtext.h"
#include "core/text_lines.h"
#include "dicom/dicom_layout.h"
#include "dicom/dicom_load.h"
#include "dicom/dicom_reader.h"
#include "dicom/dictionary.h"
#include "measure/precise_steps.h"
#include "mtf/polyfit.h"
#include "mtf/truncation.h"
#include "nps/conversion.h"
#include "precise/mtf_points.h"
#include "viewer/load_geometry.h"
#include "viewer/render.h"
#include "viewer/roi_frames.h"

namespace radmtf {

namespace {

constexpr long long kMaxTableSide = 32768;
constexpr long long kMaxTableCells = 1LL << 26;

// The file's bytes, owned by the returned pointer. A regular file is mapped,
// so a measurement reads from the disk only the pages it looks at; what
// cannot be mapped is read.
std::pair<std::shared_ptr<const void>, std::span<const std::uint8_t>> ReadFileBytes(const std::string& path)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        ThrowFailure(FailureCode::kNotAFile, {path});
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) ThrowCannotOpen(path);
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        const std::size_t size = static_cast<std::size_t>(info.st_size);
        void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        ::close(fd);
        if (mapped == MAP_FAILED) ThrowCannotOpen(path);
        std::shared_ptr<const void> owner(mapped,
                                          [size](const void* p) { ::munmap(const_cast<void*>(p), size); });
        return {owner, std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(mapped), size)};
    }
    auto bytes = std::make_shared<std::vector<std::uint8_t>>();
    std::uint8_t chunk[1 << 16];
    while (true) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            ::close(fd);
            ThrowCannotOpen(path);
        }
        if (got == 0) break;
        bytes->insert(bytes->end(), chunk, chunk + got);
    }
    ::close(fd);
    return {bytes, std::span<const std::uint8_t>(*bytes)};
}

// The text after the TAB of a memo line "frequency<TAB>value".
std::string ValueText(const std::string& line)
{
    const std::size_t tab = line.find('\t');
    return tab == std::string::npos ? std::string() : line.substr(tab + 1);
}

std::vector<MtfPoint> Points(const std::vector<std::pair<double, double>>& points,
                             const std::vector<std::string>& listing)
{
    std::vector<MtfPoint> result;
    result.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        result.push_back({points[i].first, points[i].second, i < listing.size() ? ValueText(listing[i]) : "",
                          std::nullopt});
    return result;
}

}  // namespace

const char* MethodName(MeasureMethod method)
{
    switch (method) {
        case MeasureMethod::kChart:
            return "chart";
        case MeasureMethod::kEdge:
            return "edge";
        default:
            return "slit";
    }
}

std::optional<MeasureMethod> ParseMethod(const std::string& name)
{
    if (name == "slit") return MeasureMethod::kSlit;
    if (name == "chart") return MeasureMethod::kChart;
    if (name == "edge") return MeasureMethod::kEdge;
    return std::nullopt;
}

std::optional<int> FitItemOf(long double frequency)
{
    for (int item = 0; item < static_cast<int>(std::size(kFitFrequencies)); ++item)
        if (kFitFrequencies[item] == frequency) return item;
    return std::nullopt;
}

const char* FormatName(ImageFormat format)
{
    switch (format) {
        case ImageFormat::kRaw8:
            return "raw8";
        case ImageFormat::kRaw16:
            return "raw16";
        default:
            return "dicom";
    }
}

std::optional<ImageFormat> ParseFormat(const std::string& name)
{
    if (name == "dicom") return ImageFormat::kDicom;
    if (name == "raw16") return ImageFormat::kRaw16;
    if (name == "raw8") return ImageFormat::kRaw8;
    return std::nullopt;
}

SourceImage ReadSourceImage(const std::string& path, const MeasureSettings& settings,
                            const DicomDecoder& decoder)
{
    auto [storage, bytes] = ReadFileBytes(path);
    return SourceImageFromBytes(std::move(storage), bytes, settings, decoder);
}

SourceImage SourceImageFromBytes(std::shared_ptr<const void> storage, std::span<const std::uint8_t> bytes,
                                 const MeasureSettings& settings, const DicomDecoder& decoder)
{
    SourceImage image;
    image.storage = std::move(storage);
    image.bytes = bytes;
    std::optional<std::int32_t> columns, rows, header, offset;
    std::optional<bool> swap;
    if (settings.format == ImageFormat::kDicom) {
        DicomHeaderOutput out;
        ReadDicomHeader(image.bytes.data(), image.bytes.size(), DicomDictionaryText(), "", out);
        const DicomLayout layout = ScanDicomLayout(image.bytes.data(), image.bytes.size());
        const bool walkAgrees = out.headerOffset && WalkAgreesWithLayout(out, layout);
        std::optional<bool> decodedSigned;
        if (!LoadsAsStoredForSure(layout, walkAgrees)) {
            // Compressed, big-endian, colour or other than 16-bit samples:
            // what a load shows is what the decoder makes of them.
            if (!decoder) ThrowFailure(FailureCode::kUndecodablePixelData, {layout.transferSyntax});
            DicomLoad load = decoder(image.bytes);
            if (load.headerFailure) std::rethrow_exception(load.headerFailure);
            if (load.decoded) {
                auto words = std::make_shared<std::vector<std::uint8_t>>(std::move(load.decoded->words));
                image.bytes = std::span<const std::uint8_t>(*words);
                image.storage = std::move(words);
                decodedSigned = load.decoded->signedSamples;
            }
            // A walk gone astray is replaced by the library's reading.
            if (load.decoded || !walkAgrees) out = std::move(load.header);
        }
        // The viewer's decision. Where the viewer would ask for the size,
        // the settings may complete what the header gives, and the size test
        // below tells the user what is missing.
        const ImageLoad load =
            DecideImageLoad({LoadMode::kDicom, image.bytes.size(), &out, "", std::nullopt});
        columns = load.sizeProposal ? out.columns : load.columns;
        rows = load.sizeProposal ? out.rows : load.rows;
        if (load.header) header = CheckedInt32(*load.header);
        if (load.valueOffset) offset = CheckedInt32(*load.valueOffset);
        swap = out.swap;
        if (!out.facts.imagerPixelSpacing.empty()) {
            image.pixelSpacingText = out.facts.imagerPixelSpacing;
            image.pixelSpacingSource = "imager";
        } else if (out.pixelSpacingWritten && !out.pixelSpacingWritten->empty()) {
            image.pixelSpacingText = out.pixelSpacingWritten;
            image.pixelSpacingSource = "pixel";
        }
        image.acquisition = out.summary;
        image.facts = out.facts;
        // Decoded words carry the decoder's signedness; stored ones the header's.
        image.layout.unsignedWords = decodedSigned ? !*decodedSigned : out.facts.pixelRepresentation == 0;
    }
    columns = settings.columns ? settings.columns : columns;
    rows = settings.rows ? settings.rows : rows;
    if (!columns || !rows || *columns <= 0 || *rows <= 0) ThrowFailure(FailureCode::kNoImageSize);
    image.layout.width = *columns;
    image.layout.height = *rows;
    image.layout.header = settings.header.value_or(header.value_or(0));
    image.layout.eightBit = settings.format == ImageFormat::kRaw8;
    if (settings.format != ImageFormat::kDicom) image.layout.unsignedWords = false;
    image.offset = settings.offset.value_or(offset.value_or(0));
    image.swap = settings.swap.value_or(swap.value_or(false));
    return image;
}

RoiSetting DefaultRoi(std::int32_t columns, std::int32_t rows)
{
    const ViewGeometry geometry = ShiftViewExtent(ComputeViewExtent(1.0L, columns, rows), 0, 0);
    const RoiEdits roi = DefaultRoiOn(geometry.view, geometry.bitmapWidth, geometry.bitmapHeight);
    return {static_cast<std::int32_t>(roi.centreX), static_cast<std::int32_t>(roi.centreY), roi.width,
            roi.height};
}

SampleBlock RoiTableBlock(const RoiSetting& roi)
{
    // With the view at the origin the bitmap rectangle is the ROI itself.
    return RoiBlock(ViewRect{}, RoiRectFromEdits(roi.centreX, roi.centreY, roi.width, roi.height));
}

void CheckTableLimits(const SampleBlock& block)
{
    const long long columns = std::max<long long>(block.cols + 1, 0);
    const long long rows = std::max<long long>(block.rows + 1, 0);
    if (columns > kMaxTableSide || rows > kMaxTableSide || columns * rows > kMaxTableCells)
        ThrowFailure(FailureCode::kTableTooLarge);
}

PixelTableView PixelTable::View() const
{
    PixelTableView view;
    view.dataColumns = static_cast<int>(columns);
    view.dataRows = static_cast<int>(rows);
    view.cell = [this](int column, int row) -> std::optional<std::int32_t> {
        if (!filled) return std::nullopt;
        return values[std::size_t(row - 1) * std::size_t(columns) + std::size_t(column - 1)];
    };
    return view;
}

// What a processed image's header says, as its warning names it.
std::string ProcessingText(const DicomImageFacts& facts)
{
    std::string text;
    if (facts.presentationIntent == "FOR PRESENTATION") text = "Presentation Intent Type FOR PRESENTATION";
    if (facts.lutSequence) text += std::string(text.empty() ? "" : ", ") + "VOI/Modality LUT Sequence";
    return text;
}

std::int64_t InvertValues(std::vector<std::int32_t>& values, long double bitsStored)
{
    const long long bits = std::clamp<long long>(Trunc(std::clamp(bitsStored, 1.0L, 31.0L)), 1, 31);
    const std::int64_t maximum = (std::int64_t{1} << bits) - 1;
    for (std::int32_t& v : values)
        v = static_cast<std::int32_t>(std::clamp<std::int64_t>(maximum - v, INT32_MIN, INT32_MAX));
    return maximum;
}

PixelTable ReadPixelTable(const SourceImage& image, const SampleBlock& block)
{
    SampleReader reader;
    reader.buffer = image.bytes;
    reader.layout = image.layout;
    reader.layout.eightBit = false;  // the table reads 16-bit words
    reader.offset = image.offset;
    reader.swap = image.swap;
    const bool sixteenBit = !image.layout.eightBit;
    if (sixteenBit && !BlockInsideImage(reader.buffer.size(), reader.layout, block))
        ThrowFailure(FailureCode::kRoiOutsideImage);
    CheckTableLimits(block);
    PixelTable table;
    table.columns = std::max<std::int64_t>(block.cols, 0);
    table.rows = std::max<std::int64_t>(block.rows, 0);
    if (sixteenBit) {
        ReadBlockValues(reader, block, table.values);
        table.filled = true;
    }
    return table;
}

void BuildProfileStep(ProfileState& profile, const PixelTableView& table, int orientation,
                      std::int32_t maLines)
{
    const ProfileOrientation chosen = orientation >= 1 && orientation <= 4
                                          ? static_cast<ProfileOrientation>(orientation)
                                          : ProfileOrientation::kNone;
    BuildCompositeProfile(profile, chosen, maLines, table);
}

void SmoothStep(ProfileState& profile, long double pixelSpacing, std::int32_t maLines, std::int32_t width)
{
    profile.sampleSpacing = SampleSpacing(pixelSpacing, maLines);
    SmoothProfile(profile, width);
}

ExtractionOutput ExtractStep(ProfileState& profile, long double pixelSpacing, std::int32_t maLines)
{
    return ExtractProfile(profile, pixelSpacing, maLines);
}

Conversion ConversionOf(const ExposureInputs& inputs)
{
    if (inputs.conversion) return *inputs.conversion;
    if (inputs.curveLines) return CurveConversion(*inputs.curveLines, inputs.curvePath);
    return ModelConversion(inputs.latitude, inputs.bitsStored, inputs.offset);
}

std::vector<ChartPoint> ExposureStep(ProfileState& profile, const ExposureInputs& inputs)
{
    // As "ToExp": the curve refuses an empty profile, the model does not.
    if (inputs.curveLines) RequireProfile(profile);
    ConvertProfileToKerma(profile, ConversionOf(inputs));
    return FinishExposure(profile);
}

void TruncateStep(ProfileState& profile, MtfState& mtf, std::int32_t index)
{
    // The level is the picked exposure as the window shows it (15 digits).
    const PickOutput pick = PickTailStart(profile, index);
    TruncationOutput out;
    RunTruncation(profile, mtf, index, StrToFloat(pick.posY), out);
}

void SlitStep(ProfileState& profile, MtfState& mtf, SlitOutput& out)
{
    RunSlitMethod(profile, mtf, out);
}

void ChartLocateStep(const ProfileState& profile, MtfState& mtf, long double pixelSpacing,
                     long double maLines, SwcFeatures& out)
{
    SwcLocateFeatures(profile, mtf, pixelSpacing, maLines, out);
}

void ChartMeasureStep(const ProfileState& profile, MtfState& mtf, const SwcFeatures& features, SwcResult& out)
{
    SwcMeasure(profile, mtf, features, out);
}

FittingOutput FitStep(MtfState& mtf, int item, std::int32_t degree, long double pixelSpacing)
{
    FittingOutput out;
    RunFitting(mtf, item, degree, pixelSpacing, out);
    return out;
}

namespace {

// The MTF's text of a memo line "f<TAB>MTF<TAB>±u".
std::string SecondField(const std::string& line)
{
    const std::string rest = ValueText(line);
    return rest.substr(0, rest.find('\t'));
}

MtfPoint PointOf(const PreciseMtfPoint& point)
{
    return {point.frequency, point.mtf, SecondField(PreciseMtfLine(point)), point.uncertainty};
}

// Keeps the fit and gives each point within its range the fitted value.
void FitPoints(MeasureResult& result, FittingOutput fit)
{
    for (MtfPoint& point : result.points)
        if (point.frequency >= 0 && point.frequency <= fit.upTo)
            point.fit = EvaluatePolynomial(fit.coefficients, point.frequency);
    result.fit = std::move(fit);
}

constexpr double kChartGroupFrequencies[] = {0.5, 1, 1.5, 2, 2.5, 3, 4, 5, 6};

// Every bar group listed, those not found without a value, each marked when
// its bars lie beyond the Nyquist frequency (they alias) or its modulation
// is too low to measure.
void MarkChartPoints(std::vector<MtfPoint>& points, long double pixelSpacing)
{
    for (const double f : kChartGroupFrequencies)
        if (std::none_of(points.begin(), points.end(), [&](const MtfPoint& p) { return p.frequency == f; })) {
            MtfPoint missing{f, std::numeric_limits<double>::quiet_NaN(), "", std::nullopt};
            missing.notFound = true;
            points.push_back(std::move(missing));
        }
    std::stable_sort(points.begin(), points.end(),
                     [](const MtfPoint& a, const MtfPoint& b) { return a.frequency < b.frequency; });
    for (MtfPoint& point : points) {
        const ChartGroupMarks marks = MarkChartGroup(point.frequency, point.value, pixelSpacing);
        point.beyondNyquist = marks.beyondNyquist;
        point.lowModulation = !point.notFound && marks.lowModulation;
    }
}

// The table in exposure straight from its cells (no copy of them); an
// 8-bit image's empty table fails as the window's does.
ValueTable ExposureOfTable(const PixelTable& table, const ExposureConversion& conversion)
{
    if (!table.filled) return TableExposureStep(table.View(), conversion);
    return TableExposureStep(static_cast<int>(table.columns), static_cast<int>(table.rows), table.values,
                             conversion);
}

}  // namespace

EdgeSettings EdgeSettingsOf(const MeasureSettings& settings, long double pixelSpacing)
{
    EdgeSettingTexts texts;
    texts.pixelSpacing = FloatToStr(pixelSpacing);
    EdgeSettings edge = EdgeSettingsFromTexts(texts);
    edge.binWidth = static_cast<double>(settings.edge.binWidth);
    edge.lsfHalfWidth = static_cast<double>(settings.lsfRange);
    edge.lsfTaper = static_cast<double>(settings.edge.lsfTaper);
    edge.coreHalfWidth = static_cast<double>(settings.edge.coreHalfWidth);
    edge.tailCutoff = static_cast<double>(settings.edge.tailCutoff);
    edge.smoothingInterval = static_cast<double>(settings.edge.smoothingInterval);
    edge.adaptiveWindow = static_cast<double>(settings.edge.adaptiveWindow);
    CheckEdgeSettings(edge);
    return edge;
}

EdgeSettingTexts EdgeSettingTextsOf(const MeasureSettings& settings)
{
    EdgeSettingTexts texts;
    texts.binWidth = FloatToStr(settings.edge.binWidth);
    texts.lsfHalfWidth = FloatToStr(settings.lsfRange);
    texts.lsfTaper = FloatToStr(settings.edge.lsfTaper);
    texts.coreHalfWidth = FloatToStr(settings.edge.coreHalfWidth);
    texts.tailCutoff = FloatToStr(settings.edge.tailCutoff);
    texts.smoothingInterval = FloatToStr(settings.edge.smoothingInterval);
    return texts;
}

void CheckPixelSpacing(long double mm)
{
    if (!(mm >= kMinPixelSpacingMm && mm <= kMaxPixelSpacingMm))
        ThrowFailure(FailureCode::kPixelSpacingRange, {FloatToStr(mm)});
}

ChartGroupMarks MarkChartGroup(double frequency, double mtf, long double pixelSpacing)
{
    // Below this modulation the precise chart's uncertainty no longer holds
    // (seeded Monte Carlo, bench/accuracy_bench.cpp).
    constexpr double kLowModulation = 0.02;
    ChartGroupMarks marks;
    marks.beyondNyquist =
        pixelSpacing > 0 && frequency > static_cast<double>(1.0L / (2.0L * pixelSpacing)) * (1 + 1e-9);
    marks.lowModulation = frequency > 0 && !(mtf >= kLowModulation);
    return marks;
}

// The precise slit mode's two lists (the slit method's frequencies and the
// 0.5 cycles/mm steps) as one, in frequency order; a frequency in both is
// listed once.
std::vector<MtfPoint> MergedPoints(const std::vector<PreciseMtfPoint>& listed,
                                   const std::vector<PreciseMtfPoint>& steps)
{
    std::vector<PreciseMtfPoint> all = listed;
    for (const PreciseMtfPoint& step : steps)
        if (std::none_of(listed.begin(), listed.end(),
                         [&](const PreciseMtfPoint& p) { return p.frequency == step.frequency; }))
            all.push_back(step);
    std::stable_sort(all.begin(), all.end(), [](const PreciseMtfPoint& a, const PreciseMtfPoint& b) {
        return a.frequency < b.frequency;
    });
    std::vector<MtfPoint> points;
    points.reserve(all.size());
    for (const PreciseMtfPoint& p : all) points.push_back(PointOf(p));
    return points;
}

std::vector<MtfPoint> MtfPointsOf(const std::vector<PreciseMtfPoint>& precise)
{
    std::vector<MtfPoint> points;
    points.reserve(precise.size());
    for (const PreciseMtfPoint& p : precise) points.push_back(PointOf(p));
    return points;
}

std::vector<MtfPoint> EdgePoints(const EdgeResult& edge)
{
    const std::vector<std::string> lines = EdgeMemoLines(edge);
    std::vector<MtfPoint> points;
    points.reserve(edge.tableFrequency.size());
    for (std::size_t i = 0; i < edge.tableFrequency.size(); ++i) {
        MtfPoint point{edge.tableFrequency[i], edge.tableMtf[i],
                       i < lines.size() ? SecondField(lines[i]) : "", std::nullopt};
        if (i < edge.tableUncertainty.size()) point.uncertainty = edge.tableUncertainty[i];
        points.push_back(std::move(point));
    }
    return points;
}

MeasureResult MeasureImage(const SourceImage& image, const MeasureSettings& settings)
{
    MeasureResult result;
    MeasureSettings& used = result.settings;
    used = settings;
    used.columns = image.layout.width;
    used.rows = image.layout.height;
    used.header = image.layout.header;
    used.offset = image.offset;
    used.swap = image.swap;
    result.acquisition = image.acquisition;
    result.qa = image.facts.qa;
    if (!used.roi) used.roi = DefaultRoi(image.layout.width, image.layout.height);
    result.pixelSpacingSource = "option";
    if (!used.pixelSpacing) {
        // A load asks for the spacing when the file gives none (or 0).
        if (!image.pixelSpacingText) ThrowFailure(FailureCode::kNoPixelSpacing);
        const long double spacing = StrToFloat(*image.pixelSpacingText);
        if (spacing == 0.0L) ThrowFailure(FailureCode::kNoPixelSpacing);
        used.pixelSpacing = spacing;
        result.pixelSpacingSource = image.pixelSpacingSource;
    }
    const long double pixelSpacing = *used.pixelSpacing;
    CheckPixelSpacing(pixelSpacing);
    if (used.bitsFromFile && image.facts.bitsStored && *image.facts.bitsStored >= 1 &&
        *image.facts.bitsStored <= 32)
        used.bitsStored = *image.facts.bitsStored;
    // A chosen conversion function relates the stored values to kerma as
    // they are, MONOCHROME1 or not (its gain or slope carries the sign).
    std::optional<Conversion> chosen;
    if (used.conversion) {
        chosen = ParseConversion(*used.conversion);
        used.conversion = chosen->Describe();
    }
    const bool inverted = image.facts.InvertedPhotometric() && !chosen;
    if (inverted && used.curveFile) ThrowFailure(FailureCode::kInvertedWithCurve);
    if (image.facts.Processed())
        result.warnings.emplace_back(FailureCode::kProcessedImage,
                                     std::vector<std::string>{ProcessingText(image.facts)});

    ExposureInputs exposure;
    if (used.curveFile) {
        const auto curve = ReadFileBytes(*used.curveFile);
        exposure.curvePath = *used.curveFile;
        exposure.curveLines = SplitTextLines(
            std::string_view(reinterpret_cast<const char*>(curve.second.data()), curve.second.size()));
    }
    exposure.latitude = used.latitude;
    exposure.bitsStored = used.bitsStored;
    exposure.offset = image.offset;
    exposure.conversion = chosen;

    PixelTable table = ReadPixelTable(image, RoiTableBlock(*used.roi));
    if (inverted && table.filled)
        result.warnings.emplace_back(
            FailureCode::kInvertedValues,
            std::vector<std::string>{IntToStr(InvertValues(table.values, used.bitsStored))});
    // Every measurement starts from the zeroed state of a fresh window; the
    // arrays stay allocated per thread, so a folder does not map and fault
    // them in again for every file.
    thread_local ProfileState profileStore;
    thread_local MtfState mtfStore;
    mtfStore = MtfState{};
    MtfState* const mtf = &mtfStore;
    if (used.method == MeasureMethod::kEdge) {
        // The edge page's settings, each number read as the page reads its edit.
        const EdgeSettings edgeSettings = EdgeSettingsOf(used, pixelSpacing);
        const EdgeResult edge = EdgeStep(ExposureOfTable(table, ConversionOf(exposure)), edgeSettings);
        result.edgeAngle = edge.angle;
        result.edgeVertical = edge.vertical;
        result.points = EdgePoints(edge);
        for (const ChartPoint& p : StoreEdgeMtf(edge, *mtf)) result.summaryCurve.emplace_back(p.x, p.y);
        return result;
    }

    // The table in exposure for the automatic geometry and the precise
    // modes (the window converts it anew each time, to the same values),
    // and the estimate the window keeps between its steps.
    std::optional<ValueTable> exposureTable;
    const auto tableExposure = [&]() -> const ValueTable& {
        if (!exposureTable) exposureTable = ExposureOfTable(table, ConversionOf(exposure));
        return *exposureTable;
    };
    std::optional<LineGeometry> estimate;
    if (used.autoOrientation || used.autoMaLines) {
        const LineGeometry g = GeometryStep(estimate, tableExposure(), FeatureKind::kAny);
        result.geometry = GeometryText(g);
        if (used.autoOrientation) used.orientation = static_cast<int>(g.Orientation());
        if (used.autoMaLines) used.maLines = g.LinesSetting();
    }

    ResetProfileState(profileStore);
    ProfileState* const profile = &profileStore;
    std::optional<int> fitItem;
    if (used.fitUpTo) {
        fitItem = FitItemOf(*used.fitUpTo);
        if (!fitItem) throw std::invalid_argument("MeasureImage: fit frequency");
    }

    if (used.method == MeasureMethod::kSlit && used.precise) {
        // Every line of the table; the traditional profile plays no part.
        const LineGeometry g = GeometryStep(estimate, tableExposure(), FeatureKind::kPeak);
        result.geometry = GeometryText(g);
        PreciseSlitInputs inputs;
        inputs.pixelSpacing = pixelSpacing;
        inputs.maLines = used.maLines;
        inputs.slitWidth = used.slitWidth;
        inputs.lsfHalfWidth = used.lsfRange;
        const PreciseSlitResult slit = PreciseSlitStep(tableExposure(), g, inputs);
        // Stored as the window stores it, so a fit works on it as there.
        StoreMeasuredMtf(slit.listed, *mtf);
        result.points = MergedPoints(slit.listed, slit.halfSteps);
        for (const PreciseMtfPoint& p : SummaryPoints(slit, static_cast<double>(pixelSpacing)))
            result.summaryCurve.emplace_back(p.frequency, p.mtf);
        if (fitItem) FitPoints(result, FitStep(*mtf, *fitItem, used.fitDegree, pixelSpacing));
        return result;
    }

    // The object the traditional method needs, found as Auto finds it: a
    // flat field, or an edge under the slit method, would otherwise give a
    // plausible MTF of nothing. An 8-bit image's empty table fails below.
    if (used.checkObject && !used.precise && table.filled) {
        const LineGeometry g = GeometryStep(estimate, tableExposure(), FeatureKind::kAny);
        const FeatureKind wanted =
            used.method == MeasureMethod::kSlit ? FeatureKind::kPeak : FeatureKind::kStep;
        if (g.kind != wanted) ThrowFailure(FailureCode::kNoTiltedObject);
    }
    const ProfileOrientation orientation = used.orientation >= 1 && used.orientation <= 4
                                               ? static_cast<ProfileOrientation>(used.orientation)
                                               : ProfileOrientation::kNone;
    if (estimate && GeometryDisagrees(*estimate, orientation, used.maLines))
        result.warnings.emplace_back(FailureCode::kGeometryMismatch,
                                     std::vector<std::string>{GeometryText(*estimate)});
    BuildProfileStep(*profile, table.View(), used.orientation, used.maLines);
    SmoothStep(*profile, pixelSpacing, used.maLines, used.smoothing);
    if (used.extract) ExtractStep(*profile, pixelSpacing, used.maLines);
    result.profile.assign(profile->compositeProfile.begin(),
                          profile->compositeProfile.begin() + std::max(profile->profileCount, 0));
    result.sampleSpacing = profile->sampleSpacing;

    if (used.method == MeasureMethod::kSlit) {
        ExposureStep(*profile, exposure);
        if (used.truncateAt) TruncateStep(*profile, *mtf, *used.truncateAt);
        SlitOutput slit;
        SlitStep(*profile, *mtf, slit);
        result.points = Points(slit.points, slit.listing);
        if (const auto nyquist = SlitNyquistPoint(*profile, pixelSpacing)) {
            const auto at = std::lower_bound(result.points.begin(), result.points.end(), nyquist->first,
                                             [](const MtfPoint& p, double f) { return p.frequency < f; });
            if (at == result.points.end() || at->frequency != nyquist->first)
                result.points.insert(
                    at, MtfPoint{nyquist->first, nyquist->second,
                                 FloatToStr(static_cast<double>(
                                                Round(static_cast<long double>(nyquist->second) * 1000)) /
                                            1000.0),
                                 std::nullopt});
        }
    } else {
        SwcFeatures features;
        ChartLocateStep(*profile, *mtf, pixelSpacing, used.maLines, features);
        ExposureStep(*profile, exposure);
        if (used.precise) {
            const LineGeometry g = GeometryStep(estimate, tableExposure(), FeatureKind::kStep);
            result.geometry = GeometryText(g);
            const PreciseChartResult chart =
                PreciseChartStep(tableExposure(), g, pixelSpacing, features, orientation, used.maLines);
            StoreMeasuredMtf(chart.points, *mtf);
            result.points = MtfPointsOf(chart.points);
        } else {
            SwcResult chart;
            ChartMeasureStep(*profile, *mtf, features, chart);
            result.points = Points(chart.points, chart.listing);
            // The method selects the highest valid frequency and runs Fitting.
            if (!fitItem) fitItem = chart.fitFrequencyItem.value_or(-1);
        }
        MarkChartPoints(result.points, pixelSpacing);
        result.chartGroups = ChartGroups{features.groupCentres, mtf->mtfLastIndex};
    }
    result.lsf.assign(profile->exposureProfile.begin(),
                      profile->exposureProfile.begin() + std::max(profile->exposureCount, 0));
    result.peakIndex = profile->peakIndex;
    if (fitItem) FitPoints(result, FitStep(*mtf, *fitItem, used.fitDegree, pixelSpacing));
    return result;
}

MeasureResult MeasureFile(const std::string& path, const MeasureSettings& settings,
                          const DicomDecoder& decoder)
{
    return MeasureImage(ReadSourceImage(path, settings, decoder), settings);
}

}  // namespace radmtf
