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
#include "measure/analysis_session.h"
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
    SourceImage image = SourceImageFromBytes(std::move(storage), bytes, settings, decoder);
    image.stamp = StampOfFile(path);
    return image;
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

RoiSetting RoiOfRect(const PixelRect& rect)
{
    const std::int32_t width = static_cast<std::int32_t>(std::int64_t{rect.right} - rect.left + 1);
    const std::int32_t height = static_cast<std::int32_t>(std::int64_t{rect.bottom} - rect.top + 1);
    return RoiSetting{static_cast<std::int32_t>(rect.left + std::int64_t{width} / 2),
                      static_cast<std::int32_t>(rect.top + std::int64_t{height} / 2), width, height};
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
        const std::size_t i = std::size_t(row - 1) * std::size_t(columns) + std::size_t(column - 1);
        if (!filled && (kept.empty() || !kept[i])) return std::nullopt;
        return values[i];
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

void CheckTableBlock(const SourceImage& image, const SampleBlock& block)
{
    SampleLayout layout = image.layout;
    layout.eightBit = false;  // the table reads 16-bit words
    if (!image.layout.eightBit && !BlockInsideImage(image.bytes.size(), layout, block))
        ThrowFailure(FailureCode::kRoiOutsideImage);
    CheckTableLimits(block);
}

PixelTable ReadPixelTable(const SourceImage& image, const SampleBlock& block)
{
    CheckTableBlock(image, block);
    SampleReader reader;
    reader.buffer = image.bytes;
    reader.layout = image.layout;
    reader.layout.eightBit = false;  // the table reads 16-bit words
    reader.offset = image.offset;
    reader.swap = image.swap;
    const bool sixteenBit = !image.layout.eightBit;
    PixelTable table;
    table.columns = std::max<std::int64_t>(block.cols, 0);
    table.rows = std::max<std::int64_t>(block.rows, 0);
    if (sixteenBit) {
        ReadBlockValues(reader, block, table.values);
        table.filled = true;
    }
    return table;
}

Conversion ConversionOf(const ExposureInputs& inputs)
{
    if (inputs.conversion) return *inputs.conversion;
    if (inputs.curveLines) return CurveConversion(*inputs.curveLines, inputs.curvePath);
    return ModelConversion(inputs.latitude, inputs.bitsStored, inputs.offset);
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

}  // namespace

EdgeSettings EdgeSettingsOf(const MeasureSettings& settings, long double pixelSpacing)
{
    EdgeSettings edge;
    edge.pixelSpacing = static_cast<double>(pixelSpacing);
    edge.binWidth = static_cast<double>(settings.edge.binWidth);
    edge.lsfHalfWidth = static_cast<double>(settings.lsfRange);
    edge.lsfTaper = static_cast<double>(settings.edge.lsfTaper);
    edge.coreHalfWidth = static_cast<double>(settings.edge.coreHalfWidth);
    edge.tailCutoff = static_cast<double>(settings.edge.tailCutoff);
    edge.smoothingInterval = static_cast<double>(settings.edge.smoothingInterval);
    edge.adaptiveWindow = static_cast<double>(settings.edge.adaptiveWindow);
    edge.reachFactor = static_cast<double>(settings.edge.reachFactor);
    CheckEdgeSettings(edge);
    return edge;
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
    result.source = image.stamp;
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

    ExposureInputs inputs;
    if (used.curveFile) {
        const auto curve = ReadFileBytes(*used.curveFile);
        inputs.curvePath = *used.curveFile;
        inputs.curveLines = SplitTextLines(
            std::string_view(reinterpret_cast<const char*>(curve.second.data()), curve.second.size()));
    }
    inputs.latitude = used.latitude;
    inputs.bitsStored = used.bitsStored;
    inputs.offset = image.offset;
    inputs.conversion = chosen;
    ExposureEntry exposure;
    if (inputs.curveLines && !chosen)
        exposure.curve = CurveFile{inputs.curvePath, *inputs.curveLines};
    else
        exposure.conversion = ConversionOf(inputs);
    exposure.latitude = used.latitude;
    exposure.bitsStored = used.bitsStored;

    PixelTable table = ReadPixelTable(image, RoiTableBlock(*used.roi));
    if (inverted && table.filled)
        result.warnings.emplace_back(
            FailureCode::kInvertedValues,
            std::vector<std::string>{IntToStr(InvertValues(table.values, used.bitsStored))});
    // Every measurement starts from the state of a fresh window, on the
    // analysis window's session; its arrays stay allocated per thread, so a
    // folder does not map and fault them in again for every file.
    thread_local AnalysisSession session;
    MeasurementRecord source;
    source.settings = used;
    session.Reset();
    session.TakeTable(std::move(table), 0, 0, std::move(source));
    if (used.method == MeasureMethod::kEdge) {
        // The edge page's settings, each number read as the page reads its edit.
        const EdgeMtfOutput edge = session.EdgeMtf(EdgeSettingsOf(used, pixelSpacing), exposure);
        result.edgeAngle = edge.edge.angle;
        result.edgeVertical = edge.edge.vertical;
        result.points = edge.points;
        result.summaryCurve = edge.summaryCurve;
        return result;
    }

    if (used.autoOrientation || used.autoMaLines) {
        const LineGeometry g = session.AutoGeometry(exposure);
        result.geometry = GeometryText(g);
        if (used.autoOrientation) used.orientation = static_cast<int>(g.Orientation());
        if (used.autoMaLines) used.maLines = g.LinesSetting();
    }

    std::optional<int> fitItem;
    if (used.fitUpTo) {
        fitItem = FitItemOf(*used.fitUpTo);
        if (!fitItem) throw std::invalid_argument("MeasureImage: fit frequency");
    }
    const auto fit = [&] {
        FittingOutput out;
        session.Fit(*fitItem, used.fitDegree, pixelSpacing, out);
        FitPoints(result, std::move(out));
    };

    if (used.method == MeasureMethod::kSlit && used.precise) {
        // Every line of the table; the traditional profile plays no part.
        PreciseSlitEntry numbers;
        numbers.pixelSpacing = pixelSpacing;
        numbers.slitWidth = used.slitWidth;
        numbers.lsfRange = used.lsfRange;
        numbers.maLines = static_cast<long double>(used.maLines);
        PreciseSlitOutput slit;
        session.PreciseSlit(exposure, numbers, slit);
        result.geometry = GeometryText(*slit.geometry);
        result.points = slit.points;
        result.summaryCurve = slit.summaryCurve;
        if (fitItem) fit();
        return result;
    }

    // The object the traditional method needs, found as Auto finds it: a
    // flat field, or an edge under the slit method, would otherwise give a
    // plausible MTF of nothing. An 8-bit image's empty table fails below.
    if (used.checkObject && !used.precise && session.table().filled) {
        const LineGeometry g = session.Estimate(exposure, FeatureKind::kAny);
        const FeatureKind wanted =
            used.method == MeasureMethod::kSlit ? FeatureKind::kPeak : FeatureKind::kStep;
        if (g.kind != wanted) ThrowFailure(FailureCode::kNoTiltedObject);
    }
    const ProfileOrientation orientation = used.orientation >= 1 && used.orientation <= 4
                                               ? static_cast<ProfileOrientation>(used.orientation)
                                               : ProfileOrientation::kNone;
    if (const auto estimate = session.GeometryWarning(orientation, used.maLines))
        result.warnings.emplace_back(FailureCode::kGeometryMismatch,
                                     std::vector<std::string>{GeometryText(*estimate)});
    session.BuildProfile(orientation, used.maLines);
    session.SetSampleSpacing(pixelSpacing, static_cast<long double>(used.maLines));
    session.Smooth(used.smoothing);
    if (used.extract) session.Extract(pixelSpacing, static_cast<long double>(used.maLines));
    const ProfileState& profile = session.profile();
    result.profile.assign(profile.compositeProfile.begin(),
                          profile.compositeProfile.begin() + std::max(profile.profileCount, 0));
    result.sampleSpacing = profile.sampleSpacing;

    if (used.method == MeasureMethod::kSlit) {
        session.ToExposure(exposure);
        if (used.truncateAt) {
            // The level is the picked exposure as the window shows it (15 digits).
            const PickOutput pick = session.PickTail(*used.truncateAt);
            TruncationOutput out;
            session.Truncate(*used.truncateAt, StrToFloat(pick.posY), out);
        }
        result.points = session.SlitMtf(pixelSpacing).points;
    } else {
        SwcFeatures features;
        session.LocateChart(pixelSpacing, static_cast<long double>(used.maLines), features);
        session.ToExposure(exposure);
        if (used.precise) {
            PreciseChartOutput chart;
            session.PreciseChart(exposure, features, pixelSpacing, orientation, used.maLines, chart);
            result.geometry = GeometryText(*chart.geometry);
            result.points = chart.points;
        } else {
            ChartMtfOutput chart;
            session.ChartMtf(features, used.maLines, chart);
            result.points = chart.points;
            // The method selects the highest valid frequency and runs Fitting.
            if (!fitItem) fitItem = chart.chart.fitFrequencyItem.value_or(-1);
        }
        result.chartGroups = ChartGroups{features.groupCentres, session.mtf().mtfLastIndex};
    }
    result.lsf.assign(profile.exposureProfile.begin(),
                      profile.exposureProfile.begin() + std::max(profile.exposureCount, 0));
    result.peakIndex = profile.peakIndex;
    if (fitItem) fit();
    return result;
}

MeasureResult MeasureFile(const std::string& path, const MeasureSettings& settings,
                          const DicomDecoder& decoder)
{
    return MeasureImage(ReadSourceImage(path, settings, decoder), settings);
}

}  // namespace radmtf
