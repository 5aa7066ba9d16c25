#!/usr/bin/python3
"""Generate src/dicom/dictionary.txt, the DICOM data dictionary built into the viewer.

Run it with Debian's /usr/bin/python3 and its python3-pydicom package, which carry the
published data dictionary (PS3.6) with the element names:

    /usr/bin/python3 scripts/make_dictionary.py

It prints the lines per group and the total size, and writes the text. The build embeds
the committed text and never runs this script. The committed text was made with
python3-pydicom 2.3.1; another release of the dictionary may choose other entries.

The text
--------
Lines "GGGG<TAB>EEEE<TAB>Name<TAB>N" joined by CR LF, no line break after the last line,
sorted by group and element. Its contents are fixed by the table GROUP_LINES below: the
lines of each group, the file meta group 0002, the group length entries, the repeating
group entries (written with "x"), the GE private groups 0009 ... 0045 exactly as the
scanner documents them, and one stray line "1 = Signed" + three TABs after (0028,0103).
The text is exactly 65,536 bytes long: it stops inside the last 0045 line, which reads
"0045<TAB>101B<TAB>Phanto" without a fourth field. No group above 0045 is present.

Names of the standard groups
----------------------------
The standard's element name (not its keyword), with
- a bracketed "(Retired)" or "(Trial)" dropped, other brackets and apostrophes removed
  ("Manufacturer's Model Name" -> ManufacturersModelName, "Dimension(s)" -> Dimensions);
- a slash written as a hyphen ("dB/dt" -> DB-Dt, "Placer Order Number / Procedure" ->
  PlacerOrderNumber-Procedure), except a slash that joins two capitalised words, which is
  dropped ("Contrast/Bolus Agent" -> ContrastBolusAgent);
- the hyphen of "R-R" kept, every other hyphen and punctuation mark a word break
  ("In-plane Phase Encoding Direction" -> InPlanePhaseEncodingDirection);
- every word capitalised and the words run together ("KVP" stays KVP).

Choice of the standard groups' entries
--------------------------------------
The standard has grown since the line counts were fixed, so each group takes a subset:
1. Candidates: the group's elements, without the placeholders named "Retired-blank" and
   without the elements whose name the standard marks "(Retired)" (a retired tag whose
   name a current element carries now).
2. The entries the element table and the acquisition summary name (REQUIRED) come first,
   then every other element that is not a sequence, then the sequences (the element table
   never shows a sequence's name), each part in ascending element order. The group takes
   as many as its line count leaves after its group length and repeating group entries.
3. Exact size: while the text is too long, the longest chosen name of the enhanced range
   (0018,9xxx) is exchanged for the shortest unchosen (0018,9xxx) name that does not
   overshoot the size (ties by tag). Required and hyphenated names are never exchanged.
The script checks every count, the total size and the 17 hyphenated names, and fails
rather than write a text that breaks them.
"""

import re
import sys
from pathlib import Path

from pydicom._dicom_dict import DicomDictionary, RepeatersDictionary

TEXT_SIZE = 65536
LINE_COUNT = 1913
HYPHENATED_NAMES = 17
STRAY_LINE = "1 = Signed\t\t\t"
CUT_NAME = "Phanto"  # the last line: (0045,101B), cut at the end of the text

# Lines per group, the stray line not counted.
GROUP_LINES = {
    0x0002: 10, 0x0004: 19, 0x0008: 161, 0x0009: 10, 0x0010: 50, 0x0011: 1, 0x0012: 17,
    0x0018: 642, 0x0019: 143, 0x0020: 103, 0x0021: 35, 0x0022: 48, 0x0023: 7, 0x0025: 9,
    0x0027: 36, 0x0028: 177, 0x0029: 15, 0x0032: 27, 0x0038: 26, 0x003A: 38, 0x0040: 219,
    0x0042: 5, 0x0043: 73, 0x0044: 14, 0x0045: 27,
}

FILE_META = """
    0000 FileMetaInfoGroupLength, 0001 FileMetaInfoVersion, 0002 MediaStorageSOPClassUID,
    0003 MediaStorageSOPInstanceUID, 0010 TransferSyntaxUID, 0012 ImplementationClassUID,
    0013 ImplementationVersionName, 0016 SourceApplicationEntityTitle,
    0100 PrivateInformationCreatorUID, 0102 PrivateInformation
"""

GROUP_LENGTHS = {
    0x0008: "IdentifyingGroupLength", 0x0010: "PatientGroupLength",
    0x0018: "AcquisitionGroupLength", 0x0020: "RelationshipGroupLength",
    0x0028: "ImagePresentationGroupLength", 0x0032: "StudyGroupLength",
}

# Repeating groups of the retired standard, element written with "x".
REPEATERS = {
    0x0020: "31xx SourceImageIDs",
    0x0028: """04x2 CoefficientCoding, 04x3 CoefficientCodingPointers, 08x0 CodeLabel,
               08x2 NumberOfTables, 08x3 CodeTableLocation, 08x4 BitsForCodeWord,
               08x8 ImageDataLocation""",
}

# Entries the element table and the summary rely on, with the names they must carry.
REQUIRED = {
    (0x0008, 0x0060): "Modality", (0x0008, 0x103E): "SeriesDescription",
    (0x0008, 0x1090): "ManufacturersModelName", (0x0018, 0x0050): "SliceThickness",
    (0x0018, 0x0060): "KVP", (0x0018, 0x0080): "RepetitionTime", (0x0018, 0x0081): "EchoTime",
    (0x0018, 0x0083): "NumberOfAverages", (0x0018, 0x0089): "NumberOfPhaseEncodingSteps",
    (0x0018, 0x0091): "EchoTrainLength", (0x0018, 0x0095): "PixelBandwidth",
    (0x0018, 0x1100): "ReconstructionDiameter", (0x0018, 0x1152): "Exposure",
    (0x0018, 0x1164): "ImagerPixelSpacing", (0x0018, 0x1210): "ConvolutionKernel",
    (0x0018, 0x1250): "ReceiveCoilName", (0x0018, 0x1310): "AcquisitionMatrix",
    (0x0018, 0x1312): "InPlanePhaseEncodingDirection", (0x0018, 0x7022): "DetectorElementSpacing",
    (0x0018, 0x7026): "DetectorActiveDimensions", (0x0020, 0x0060): "Laterality",
    (0x0028, 0x0010): "Rows", (0x0028, 0x0011): "Columns", (0x0028, 0x0030): "PixelSpacing",
    (0x0028, 0x0100): "BitsAllocated", (0x0028, 0x0103): "PixelRepresentation",
    (0x0028, 0x0104): "SmallestValidPixelValue", (0x0028, 0x1050): "WindowCenter",
    (0x0028, 0x1051): "WindowWidth", (0x0028, 0x1052): "RescaleIntercept",
    (0x0028, 0x1053): "RescaleSlope",
}

# GE private groups, every line in the scanner's own order and spelling.
PRIVATE = [
    ("0009", """
        1001 FullFidelity, 1002 SuiteID, 1004 ProductID, 1027 ImageActualDate, 1030 ServiceID,
        1031 MobileLocationNumber, 10E3 EquipmentUID, 10E6 GenesisVersionNow,
        10E7 ExamRecordChecksum, 10E9 ActualSeriesDataTimeStamp
    """),
    ("0011", """
        1010 PatientStatus
    """),
    ("0019", """
        1002 NumberOfCellsIInDetector, 1003 CellNumberAtTheta, 1004 CellSpacing,
        100F HorizFrameOfRef, 1011 SeriesContrast, 1012 LastPseq, 1013 StartNumberForBaseline,
        1014 EndNumberForBaseline, 1015 StartNumberForEnhancedScans,
        1016 EndNumberForEnhancedScans, 1017 SeriesPlane, 1018 FirstScanRas,
        1019 FirstScanLocation, 101A LastScanRas, 101B LastScanLoc, 101E DisplayFieldOfView,
        1023 TableSpeed, 1024 MidScanTime, 1025 MidScanFlag, 1026 DegreesOfAzimuth,
        1027 GantryPeriod, 102A XRayOnPosition, 102B XRayOffPosition, 102C NumberOfTriggers,
        102E AngleOfFirstView, 102F TriggerFrequency, 1039 ScanFOVType, 1040 StatReconFlag,
        1041 ComputeType, 1042 SegmentNumber, 1043 TotalSegmentsRequested, 1044 InterscanDelay,
        1047 ViewCompressionFactor, 104A TotalNoOfRefChannels, 104B DataSizeForScanData,
        1052 ReconPostProcflag, 1057 CTWaterNumber, 1058 CTBoneNumber, 105A AcquisitionDuration,
        105E NumberOfChannels, 105F IncrementBetweenChannels, 1060 StartingView,
        1061 NumberOfViews, 1062 IncrementBetweenViews, 106A DependantOnNoViewsProcessed,
        106B FieldOfViewInDetectorCells, 1070 ValueOfBackProjectionButton,
        1071 SetIfFatqEstimatesWereUsed, 1072 ZChanAvgOverViews, 1073 AvgOfLeftRefChansOverViews,
        1074 MaxLeftChanOverViews, 1075 AvgOfRightRefChansOverViews, 1076 MaxRightChanOverViews,
        107D SecondEcho, 107E NumberOfEchoes, 107F TableDelta, 1081 Contiguous, 1084 PeakSAR,
        1085 MonitorSAR, 1087 CardiacRepetitionTime, 1088 ImagesPerCardiacCycle,
        108A ActualReceiveGainAnalog, 108B ActualReceiveGainDigital, 108D DelayAfterTrigger,
        108F Swappf, 1090 PauseInterval, 1091 PulseTime, 1092 SliceOffsetOnFreqAxis,
        1093 CenterFrequency, 1094 TransmitGain, 1095 AnalogReceiverGain, 1096 DigitalReceiverGain,
        1097 BitmapDefiningCVs, 1098 CenterFreqMethod, 109B PulseSeqMode, 109C PulseSeqName,
        109D PulseSeqDate, 109E InternalPulseSeqName, 109F TransmittingCoil, 10A0 SurfaceCoilType,
        10A1 ExtremityCoilFlag, 10A2 RawDataRunNumber, 10A3 CalibratedFieldStrength,
        10A4 SATFatWaterBone, 10A5 ReceiveBandwidth, 10A7 UserData01, 10A8 UserData02,
        10A9 UserData03, 10AA UserData04, 10AB UserData05, 10AC UserData06, 10AD UserData07,
        10AE UserData08, 10AF UserData09, 10B0 UserData10, 10B1 UserData11, 10B2 UserData12,
        10B3 UserData13, 10B4 UserData14, 10B5 UserData15, 10B6 UserData16, 10B7 UserData17,
        10B8 UserData18, 10B9 UserData19, 10BA UserData20, 10BB UserData21, 10BC UserData22,
        10BD UserData23, 10BE ProjectionAngle, 10C0 SaturationPlanes, 10C1 SurfaceCoilIntensity,
        10C2 SATLocationR, 10C3 SATLocationL, 10C4 SATLocationA, 10C5 SATLocationP,
        10C6 SATLocationH, 10C7 SATLocationF, 10C8 SATThicknessR-L, 10C9 SATThicknessA-P,
        10CA SATThicknessH-F, 10CB PrescribedFlowAxis, 10CC VelocityEncoding,
        10CD ThicknessDisclaimer, 10CE PrescanType, 10CF PrescanStatus, 10D0 RawDataType,
        10D2 ProjectionAlgorithm, 10D3 ProjectionAlgorithm, 10D5 FractionalEcho, 10D6 PrepPulse,
        10D7 CardiacPhases, 10D8 VariableEchoflag, 10D9 ConcatenatedSAT, 10DA ReferenceChannelUsed,
        10DB BackProjectorCoefficient, 10DC PrimarySpeedCorrectionUsed,
        10DD OverrangeCorrectionUsed, 10DE DynamicZAlphaValue, 10DF UserData, 10E0 UserData,
        10E2 VelocityEncodeScale, 10F2 FastPhases, 10F9 TransmissionGain
    """),
    ("0021", """
        1003 SeriesFromWhichPrescribed, 1005 GenesisVersionNow, 1007 SeriesRecordChecksum,
        1018 GenesisVersionNow, 1019 AcqreconRecordChecksum, 1020 TableStartLocation,
        1035 SeriesFromWhichPrescribed, 1036 ImageFromWhichPrescribed, 1037 ScreenFormat,
        104A AnatomicalReferenceForScout, 104F LocationsInAcquisition, 1050 GraphicallyPrescribed,
        1051 RotationFromSourceXRot, 1052 RotationFromSourceYRot, 1053 RotationFromSourceZRot,
        1054 ImagePosition, 1055 ImageOrientation, 1056 IntegerSlop, 1057 IntegerSlop,
        1058 IntegerSlop, 1059 IntegerSlop, 105A IntegerSlop, 105B FloatSlop, 105C FloatSlop,
        105D FloatSlop, 105E FloatSlop, 105F FloatSlop, 1081 AutoWindowLevelAlpha,
        1082 AutoWindowLevelBeta, 1083 AutoWindowLevelWindow, 1084 ToWindowLevelLevel,
        1090 TubeFocalSpotPosition, 1091 BiopsyPosition, 1092 BiopsyTLocation,
        1093 BiopsyRefLocation
    """),
    ("0023", """
        1001 NumberOfSeriesInStudy, 1002 NumberOfUnarchivedSeries, 1010 ReferenceImageField,
        1050 SummaryImage, 1070 StartTimeSecsInFirstAxial, 1074 NoofUpdatesToHeader,
        107D IndicatesIfTheStudyHasCompleteInfo
    """),
    ("0025", """
        1006 LastPulseSequenceUsed, 1007 ImagesInSeries, 1010 LandmarkCounter,
        1011 NumberOfAcquisitions, 1014 IndicatesNoofUpdatesToHeader, 1017 SeriesCompleteFlag,
        1018 NumberOfImagesArchived, 1019 LastImageNumberUsed, 101A PrimaryReceiverSuiteAndHost
    """),
    ("0027", """
        1006 ImageArchiveFlag, 1010 ScoutType, 101C VmaMamp, 101D VmaPhase, 101E VmaMod,
        101F VmaClip, 1020 SmartScanOnOffFlag, 1030 ForeignImageRevision, 1031 ImagingMode,
        1032 PulseSequence, 1033 ImagingOptions, 1035 PlaneType, 1036 ObliquePlane,
        1040 RASLetterOfImageLocation, 1041 ImageLocation, 1042 CenterRCoordOfPlaneImage,
        1043 CenterACoordOfPlaneImage, 1044 CenterSCoordOfPlaneImage, 1045 NormalRCoord,
        1046 NormalACoord, 1047 NormalSCoord, 1048 RCoordOfTopRightCorner,
        1049 ACoordOfTopRightCorner, 104A SCoordOfTopRightCorner, 104B RCoordOfBottomRightCorner,
        104C ACoordOfBottomRightCorner, 104D SCoordOfBottomRightCorner, 1050 TableStartLocation,
        1051 TableEndLocation, 1052 RASLetterForSideOfImage, 1053 RASLetterForAnteriorPosterior,
        1054 RASLetterForScoutStartLoc, 1055 RASLetterForScoutEndLoc, 1060 ImageDimensionX,
        1061 ImageDimensionY, 1062 NumberOfExcitations
    """),
    ("0029", """
        1004 LowerRangeOfPixels1a, 1005 LowerRangeOfPixels1b, 1006 LowerRangeOfPixels1c,
        1007 LowerRangeOfPixels1d, 1008 LowerRangeOfPixels1e, 1009 LowerRangeOfPixels1f,
        100A LowerRangeOfPixels1g, 1015 LowerRangeOfPixels1h, 1016 LowerRangeOfPixels1i,
        1017 LowerRangeOfPixels2, 1018 UpperRangeOfPixels2, 101A LenOfTotHdrInBytes,
        1026 VersionOfTheHdrStruct, 1034 AdvantageCompOverflow, 1035 AdvantageCompUnderflow
    """),
    ("0043", """
        1001 BitmapOfPrescanOptions, 1002 GradientOffsetInX, 1003 GradientOffsetInY,
        1004 GradientOffsetInZ, 1005 ImgIsOriginalOrUnoriginal, 1006 NumberOfEPIShots,
        1007 ViewsPerSegment, 1008 RespiratoryRateBpm, 1009 RespiratoryTriggerPoint,
        100A TypeOfReceiverUsed, 100B PeakRateOfChangeOfGradientField, 100C LimitsInUnitsOfPercent,
        100D PSDEstimatedLimit, 100E PSDEstimatedLimitInTeslaPerSecond, 100F Saravghead,
        1010 WindowValue, 1011 TotalInputViews, 1012 X-RayChain, 1013 DeconKernelParameters,
        1014 CalibrationParameters, 1015 TotalOutputViews, 1016 NumberOfOverranges,
        1017 IBHImageScaleFactors, 1018 BBHCoefficients, 1019 NumberOfBBHChainsToBlend,
        101A StartingChannelNumber, 101B PpscanParameters, 101C GEImageIntegrity, 101D LevelValue,
        101E DeltaStartTime, 101F MaxOverrangesInAView, 1020 AvgOverrangesAllViews,
        1021 CorrectedAfterGlowTerms, 1025 ReferenceChannels, 1026 NoViewsRefChansBlocked,
        1027 ScanPitchRatio, 1028 UniqueImageIden, 1029 HistogramTables, 102A UserDefinedData,
        102B PrivateScanOptions, 102C EffectiveEchoSpacing, 102D StringSlopField1,
        102E StringSlopField2, 102F RawDataType, 1030 RawDataType, 1031 RACordOfTargetReconCenter,
        1032 RawDataType, 1033 NegScanspacing, 1034 OffsetFrequency, 1035 UserUsageTag,
        1036 UserFillMapMSW, 1037 UserFillMapLSW, 1038 User25-48, 1039 SlopInt6-9,
        1040 TriggerOnPosition, 1041 DegreeOfRotation, 1042 DASTriggerSource, 1043 DASFpaGain,
        1044 DASOutputSource, 1045 DASAdInput, 1046 DASCalMode, 1047 DASCalFrequency,
        1048 DASRegXm, 1049 DASAutoZero, 104A StartingChannelOfView, 104B DASXmPattern,
        104C TGGCTriggerMode, 104D StartScanToXrayOnDelay, 104E DurationOfXrayOn,
        1060 SlopInt10-17, 1061 ScannerStudyEntityUID, 1062 ScannerStudyID, 106f ScannerTableEntry
    """),
    ("0045", """
        1001 NumberOfMacroRowsInDetector, 1002 MacroWidthAtISOCenter, 1003 DASType, 1004 DASGain,
        1005 DASTemperature, 1006 TableDirectionInOrOut, 1007 ZSmoothingFactor,
        1008 ViewWeightingMode, 1009 SigmaRowNumberWhichRowsWereUsed,
        100A MinimumDasValueFoundInTheScanData, 100B MaximumOffsetShiftValueUsed,
        100C NumberOfViewsShifted, 100D ZTrackingFlag, 100E MeanZError, 100F ZTrackingMaximumError,
        1010 StartingViewForRow2a, 1011 NumberOfViewsInRow2a, 1012 StartingViewForRow1a,
        1013 SigmaMode, 1014 NumberOfViewsInRow1a, 1015 StartingViewForRow2b,
        1016 NumberOfViewsInRow2b, 1017 StartingViewForRow1b, 1018 NumberOfViewsInRow1b,
        1019 AirFilterCalibrationDate, 101A AirFilterCalibrationTime, 101B Phanto
    """),
]


def parse_entries(text):
    """'EEEE Name, EEEE Name' -> [(element text, name)]."""
    return [tuple(item.split()) for item in text.replace("\n", " ").split(",") if item.strip()]


def element_key(element):
    """Sort key of an element field; the x of a repeating group counts as 0."""
    return int(element.replace("x", "0"), 16)


def standard_name(name):
    name = re.sub(r"\s*\((Retired|Trial)\)", "", name)
    name = name.replace("'", "").replace("(s)", "s")
    name = re.sub(r"\s*/\s*(?![A-Z])", "\x01", name)  # a slash that stays, as a hyphen
    name = re.sub(r"\b([A-Z])-([A-Z])\b", "\\1\x01\\2", name)  # R-R
    name = re.sub(r"[^A-Za-z0-9\x01]+", " ", name)
    words = name.replace("\x01", " \x01 ").split()
    return "".join(w[0].upper() + w[1:] for w in words).replace("\x01", "-")


def line_bytes(name):
    return len("GGGG\tEEEE\t") + len(name) + len("\tN\r\n")


def choose_standard(group, quota):
    """Ordered choice of step 2: [(tag, name)], required entries first."""
    candidates = []
    for tag, (vr, _vm, name, _retired, _keyword) in sorted(DicomDictionary.items()):
        if tag >> 16 != group or not name or name == "Retired-blank" or "(Retired)" in name:
            continue
        element = tag & 0xFFFF
        if element == 0:
            continue
        rank = 0 if (group, element) in REQUIRED else 1 if vr != "SQ" else 2
        candidates.append((rank, element, standard_name(name)))
    candidates.sort()
    for group_element, name in REQUIRED.items():
        if group_element[0] == group:
            found = [c for c in candidates if c[1] == group_element[1]]
            assert found and found[0][2] == name, (group_element, found, name)
    chosen = [(element, name) for rank, element, name in candidates[:quota]]
    unchosen = [(element, name) for rank, element, name in candidates[quota:]]
    assert len(chosen) == quota, (hex(group), len(chosen), quota)
    return chosen, unchosen


def build_groups():
    """{group: [(element text, name)]} before the size adjustment, and 0018's unchosen."""
    groups = {0x0002: parse_entries(FILE_META)}
    private = {int(g, 16): parse_entries(text) for g, text in PRIVATE}
    unchosen_0018 = []
    for group, lines in GROUP_LINES.items():
        if group in groups:
            continue
        if group in private:
            groups[group] = private[group]
            continue
        entries = []
        if group in GROUP_LENGTHS:
            entries.append(("0000", GROUP_LENGTHS[group]))
        if group in REPEATERS:
            entries += parse_entries(REPEATERS[group])
        chosen, unchosen = choose_standard(group, lines - len(entries))
        entries += [("%04X" % element, name) for element, name in chosen]
        if group == 0x0018:
            unchosen_0018 = unchosen
        groups[group] = entries
    return groups, unchosen_0018


def text_size(groups):
    lines = sum(len(entries) for entries in groups.values()) + 1  # + the stray line
    full = sum(line_bytes(name) for entries in groups.values() for _, name in entries)
    # The cut last line has no "<TAB>N" and no CR LF.
    return full + len(STRAY_LINE) + 2 - len("\tN\r\n")


def fit_size(groups, unchosen):
    """Step 3: exchange long 0018,9xxx names for short unchosen ones until the size fits."""
    entries = groups[0x0018]
    protected = {"%04X" % e for g, e in REQUIRED if g == 0x0018}
    pool = sorted(((len(n), int(e, 16), e, n) for e, n in
                   [("%04X" % e, n) for e, n in unchosen] if int(e, 16) >= 0x9000 and "-" not in n))
    excess = text_size(groups) - TEXT_SIZE
    assert excess >= 0, excess
    exchanges = []
    while excess > 0:
        longest = sorted(((-len(n), int(e, 16), e, n) for e, n in entries
                          if "x" not in e and int(e, 16) >= 0x9000 and e not in protected
                          and "-" not in n and (e, n) not in [x[1] for x in exchanges]))
        done = False
        for _, _, e_out, n_out in longest:
            fits = [p for p in pool if len(n_out) - excess <= p[0] < len(n_out)]
            if fits:
                new = fits[0]
                pool.remove(new)
                entries[entries.index((e_out, n_out))] = (new[2], new[3])
                exchanges.append(((e_out, n_out), (new[2], new[3])))
                excess -= len(n_out) - new[0]
                done = True
                break
        assert done, "no exchange fits"
    entries.sort(key=lambda entry: element_key(entry[0]))
    return exchanges


def render(groups):
    lines = []
    for group in sorted(groups):
        for element, name in sorted(groups[group], key=lambda entry: element_key(entry[0])):
            lines.append("%04X\t%s\t%s\tN" % (group, element, name))
            if (group, element) == (0x0028, "0103"):
                lines.append(STRAY_LINE)
    assert lines[-1] == "0045\t101B\t%s\tN" % CUT_NAME, lines[-1]
    lines[-1] = lines[-1][: -len("\tN")]
    return "\r\n".join(lines)


def main():
    groups, unchosen = build_groups()
    exchanges = fit_size(groups, unchosen)
    text = render(groups)
    data = text.encode("ascii")

    for group in sorted(groups):
        assert len(groups[group]) == GROUP_LINES[group], (hex(group), len(groups[group]))
        print("%04X %4d" % (group, len(groups[group])))
    names = [name for entries in groups.values() for _, name in entries]
    hyphenated = [name for name in names if "-" in name]
    print("exchanged to fit the size:", ", ".join("%s->%s" % (a[0], b[0]) for a, b in exchanges))
    print("lines %d, bytes %d, hyphenated names %d" % (text.count("\r\n") + 1, len(data), len(hyphenated)))
    assert text.count("\r\n") + 1 == LINE_COUNT
    assert len(data) == TEXT_SIZE
    assert len(hyphenated) == HYPHENATED_NAMES, hyphenated
    assert data.endswith(b"\r\n0045\t101B\tPhanto")

    out = Path(__file__).resolve().parent.parent / "src" / "dicom" / "dictionary.txt"
    out.write_bytes(data)
    print("wrote", out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
