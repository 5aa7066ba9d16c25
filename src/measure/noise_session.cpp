#include "measure/noise_session.h"

#include <algorithm>
#include <new>
#include <span>
#include <utility>

#include "core/numtext.h"
#include "dicom/dicom_load.h"
#include "dicom/dictionary.h"
#include "dqe/mtf_file.h"
#include "measure/measurement.h"
#include "nps/conversion.h"
#include "viewer/sample_reader.h"

namespace radmtf {

namespace {

// Pixels the program cannot read as stored, decoded in the decoder process.
DicomLoad DecodeInDecoderProcess(const std::string& path, std::span<const std::uint8_t> file)
{
    DecodeOptions options;
    options.fileName = path;
    return PrepareDicomLoad(file.data(), file.size(), DicomDictionaryText(), "", options);
}

// A load failure names its file.
struct FileFailure {
    std::string file;
    Failure failure;
};

LoadedNoiseImage Load(const std::string& file, const NoiseSettings& settings)
{
    try {
        return LoadNoiseImage(file, settings);
    } catch (const Failure& failure) {
        throw FileFailure{file, failure};
    }
}

Conversion ConversionOf(const NoiseSettings& settings)
{
    return ParseConversion(settings.conversion, static_cast<double>(settings.latitude),
                           static_cast<double>(settings.bitsStored));
}

// Runs `work`, turning what refuses it into a refusal.
template <typename F>
std::optional<NoiseRefusal> Refusal(F&& work)
{
    try {
        work();
    } catch (const FileFailure& f) {
        return NoiseRefusal{f.file, f.failure};
    } catch (const Failure& failure) {
        return NoiseRefusal{{}, failure};
    } catch (const std::bad_alloc&) {
        return NoiseRefusal{{}, Failure(FailureCode::kOutOfMemory)};
    }
    return std::nullopt;
}

BeamQuality QualityOf(const std::string& name)
{
    return name == "RQA3"   ? BeamQuality::kRqa3
           : name == "RQA7" ? BeamQuality::kRqa7
           : name == "RQA9" ? BeamQuality::kRqa9
                            : BeamQuality::kRqa5;
}

// The DQE as far as it goes; a Failure thrown refuses it all.
void Characterise(const NoiseSettings& noise, DqeSession& session)
{
    const Conversion conversion = ConversionOf(noise);
    session.usedConversion = conversion;
    session.conversion = conversion.Describe();
    const DqeInputs& in = session.inputs;
    std::vector<LoadedNoiseImage> flats;
    for (const std::string& file : in.flats) flats.push_back(Load(file, noise));
    if (!flats.empty()) session.qa = flats.front().qa;
    std::vector<NnpsImage> flatImages;
    for (const LoadedNoiseImage& l : flats) flatImages.push_back(l.image);
    const NnpsResult nnps = MeasureNnps(flatImages, conversion);

    std::vector<LoadedNoiseImage> edgeImages;
    std::vector<DqeEdgeImage> edgesU, edgesV;
    for (const std::string& file : in.edges) {
        edgeImages.push_back(Load(file, noise));
        const std::optional<bool> vertical = EdgeRunsAlongColumns(edgeImages.back().image);
        if (!vertical) throw FileFailure{file, Failure(FailureCode::kEdgeNotFound)};
        const std::optional<std::string>& mtfFile = *vertical ? in.mtfFileU : in.mtfFileV;
        const std::optional<DqeInputs::Curve>& curve = *vertical ? in.mtfCurveU : in.mtfCurveV;
        if (mtfFile || curve) {
            session.warnings.emplace_back(
                FailureCode::kDqeEdgeUnused,
                std::vector<std::string>{*vertical ? "u" : "v", mtfFile ? *mtfFile : curve->source, file});
            continue;
        }
        (*vertical ? session.edgesU : session.edgesV).push_back(file);
        (*vertical ? edgesU : edgesV).push_back({edgeImages.back().image});
    }
    std::optional<MtfCurve> u, v;
    if (in.mtfFileU) u = ReadMtfFile(*in.mtfFileU);
    if (in.mtfFileV) v = ReadMtfFile(*in.mtfFileV);
    for (auto [curve, mtf] : {std::pair{&in.mtfCurveU, &u}, std::pair{&in.mtfCurveV, &v}})
        if (*curve) {
            CheckMtfCurve((*curve)->curve, (*curve)->source);
            *mtf = (*curve)->curve;
        }
    if (!edgesU.empty()) u = EdgeMtfCurve(MeasureEdgeMtf(edgesU, conversion, false));
    if (!edgesV.empty()) v = EdgeMtfCurve(MeasureEdgeMtf(edgesV, conversion, true));
    if (!u && !v) {
        session.warnings.insert(session.warnings.end(), nnps.warnings.begin(), nnps.warnings.end());
        session.refusals.push_back({{}, Failure(FailureCode::kDqeNoMtf, {"u"})});
        session.refusals.push_back({{}, Failure(FailureCode::kDqeNoMtf, {"v"})});
        return;
    }

    DqeSettings settings;
    settings.edition = in.snrTable == "2003" ? DqeEdition::k2003 : DqeEdition::k2015;
    settings.quality = QualityOf(in.quality);
    if (in.snr2) {
        settings.quality = BeamQuality::kOther;
        settings.userSnr2 = *in.snr2;
    }
    settings.kerma = session.kerma;
    DqeResult result = ComputeDqe(nnps, u ? &*u : nullptr, v ? &*v : nullptr, settings);
    const NnpsImage& flat = flatImages.front();
    for (const auto* set : {&edgesU, &edgesV})
        for (const DqeEdgeImage& e : *set)
            if (e.image.columns != flat.columns || e.image.rows != flat.rows || e.image.dx != flat.dx ||
                e.image.dy != flat.dy)
                result.warnings.emplace_back(FailureCode::kDqeImagesDiffer,
                                             std::vector<std::string>{e.image.name});
    for (const std::optional<Failure>& refused : {result.refusedU, result.refusedV})
        if (refused) session.refusals.push_back({{}, *refused});
    session.warnings.insert(session.warnings.end(), result.warnings.begin(), result.warnings.end());
    session.result = std::move(result);
}

}  // namespace

LoadedNoiseImage LoadNoiseImage(const std::string& path, const NoiseSettings& settings)
{
    const SourceImage source = ReadSourceImage(
        path, MeasureSettings{},
        [&](std::span<const std::uint8_t> file) { return DecodeInDecoderProcess(path, file); });
    LoadedNoiseImage loaded;
    loaded.qa = source.facts.qa;
    double spacing = 0.0;
    if (settings.pixelSpacing) {
        spacing = static_cast<double>(*settings.pixelSpacing);
    } else {
        if (!source.pixelSpacingText) ThrowFailure(FailureCode::kNoPixelSpacing);
        spacing = static_cast<double>(StrToFloat(*source.pixelSpacingText));
        if (!(spacing > 0.0)) ThrowFailure(FailureCode::kNoPixelSpacing);
    }
    const SampleReader reader{source.bytes, source.layout, source.offset, source.swap};
    const std::int32_t columns = std::max(source.layout.width, 0), rows = std::max(source.layout.height, 0);
    loaded.values.resize(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    // Row by row: the bounds are checked once per row, not per sample.
    for (std::int32_t r = 0; r < rows; ++r) {
        const ColumnRange inside = ExistingColumns(source.bytes.size(), source.layout, r);
        if (inside.first != 0 || inside.end != columns)
            ThrowFailure(FailureCode::kNoImageSize);  // a file shorter than its image
        const std::int32_t step = source.layout.BytesPerSample();
        const std::uint8_t* p = source.bytes.data() + SampleOffset(source.layout, r, 0);
        std::int32_t* row = loaded.values.data() + static_cast<std::size_t>(r) * columns;
        for (std::int32_t c = 0; c < columns; ++c, p += step) row[c] = DecodeMeasuredSample(reader, p);
    }
    CheckPixelSpacing(spacing);
    // The largest value the detector can store saturates: 2^BitsStored - 1
    // for unsigned samples, else the top of the 16-bit reading.
    std::int32_t top = source.layout.unsignedWords ? 65535 : 32767;
    if (source.layout.unsignedWords && source.facts.bitsStored && *source.facts.bitsStored >= 1 &&
        *source.facts.bitsStored <= 16)
        top = (std::int32_t{1} << *source.facts.bitsStored) - 1;
    loaded.image = {path, columns, rows, spacing, spacing, loaded.values.data(), top + source.offset};
    return loaded;
}

NnpsSession MeasureNnpsFiles(const std::vector<std::string>& files, const NoiseSettings& settings)
{
    NnpsSession session;
    session.files = files;
    session.conversion = settings.conversion;
    session.refusal = Refusal([&] {
        const Conversion conversion = ConversionOf(settings);
        session.conversion = conversion.Describe();
        std::vector<LoadedNoiseImage> loaded;
        for (const std::string& file : files) loaded.push_back(Load(file, settings));
        if (!loaded.empty()) session.qa = loaded.front().qa;
        std::vector<NnpsImage> images;
        for (const LoadedNoiseImage& l : loaded) images.push_back(l.image);
        session.result = MeasureNnps(images, conversion);
    });
    if (session.refusal) session.result.reset();
    return session;
}

DqeSession MeasureDqeFiles(const DqeInputs& inputs, const NoiseSettings& settings)
{
    DqeSession session;
    session.inputs = inputs;
    session.conversion = settings.conversion;
    session.kerma = settings.kerma ? static_cast<double>(*settings.kerma) : 0.0;
    if (const std::optional<NoiseRefusal> refusal = Refusal([&] { Characterise(settings, session); })) {
        session.refusals.push_back(*refusal);
        session.result.reset();
    }
    return session;
}

DqeInputs::Curve RecordMtfCurve(const MeasurementRecord& record)
{
    DqeInputs::Curve c{record.file, {}};
    for (const MtfPoint& p : record.points) {
        // A point not found has no value, as its empty CSV field.
        c.curve.frequency.push_back(p.frequency);
        c.curve.mtf.push_back(p.notFound ? NAN : p.value);
        c.curve.uncertainty.push_back(p.uncertainty && !p.notFound ? *p.uncertainty : NAN);
    }
    return c;
}

}  // namespace radmtf
