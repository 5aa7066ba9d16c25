// Kernel results as the analysis window's controls take them: chart points
// and memo lines.
#pragma once

#include <QList>
#include <QPointF>
#include <QStringList>

#include <string>
#include <utility>
#include <vector>

#include "analysis/chart_point.h"
#include "mtf/mtf_summary.h"
#include "precise/mtf_points.h"

namespace radmtf {

inline QList<QPointF> Points(const std::vector<ChartPoint>& points)
{
    QList<QPointF> list;
    list.reserve(static_cast<qsizetype>(points.size()));
    for (const ChartPoint& p : points) list.append(QPointF(p.x, p.y));
    return list;
}

inline QList<QPointF> Points(const std::vector<std::pair<double, double>>& points)
{
    QList<QPointF> list;
    list.reserve(static_cast<qsizetype>(points.size()));
    for (const auto& [x, y] : points) list.append(QPointF(x, y));
    return list;
}

// A method's MTF points as the summary and the report read them.
inline std::vector<CurvePoint> CurvePoints(const std::vector<PreciseMtfPoint>& points)
{
    std::vector<CurvePoint> curve;
    curve.reserve(points.size());
    for (const PreciseMtfPoint& p : points) curve.emplace_back(p.frequency, p.mtf);
    return curve;
}

inline std::vector<CurvePoint> CurvePoints(const std::vector<ChartPoint>& points)
{
    std::vector<CurvePoint> curve;
    curve.reserve(points.size());
    for (const ChartPoint& p : points) curve.emplace_back(p.x, p.y);
    return curve;
}

// Runs `action`; shows what it reached with `apply`, also on a failure.
template <typename Action, typename Apply>
void RunAndShow(Action action, Apply apply)
{
    try {
        action();
    } catch (...) {
        apply();
        throw;
    }
    apply();
}

inline QStringList Lines(const std::vector<std::string>& lines)
{
    QStringList list;
    list.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines) list.append(QString::fromStdString(line));
    return list;
}

}  // namespace radmtf
