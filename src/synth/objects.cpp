#include "synth/objects.h"

#include <algorithm>
#include <memory>

namespace radmtf::synth {

ObjectProfile SlitObject(const DetectorModel& model, double slitWidth, double pedestal)
{
    const double peak = model.SlitResponse(0, slitWidth);
    return [model, slitWidth, pedestal, peak](double u) {
        return pedestal + model.SlitResponse(u, slitWidth) / peak;
    };
}

ObjectProfile EdgeObject(const DetectorModel& model, double pedestal, bool openAbove)
{
    return [model, pedestal, openAbove](double u) {
        return pedestal + (1 - pedestal) * model.EdgeResponse(openAbove ? u : -u);
    };
}

ObjectProfile FlatObject()
{
    return [](double) { return 1.0; };
}

BarChartLayout::BarChartLayout()
{
    length = 1 + 10 + 10 + 4.5 * kPeriods[1] + 2;
    for (int g = 2; g <= 9; ++g) length += 9.5 * kPeriods[g] + 2;
    double top = length - 1;
    groupTop[0] = top;
    bars.push_back({top - 10, top});
    top -= 20;
    for (int g = 1; g <= 9; ++g) {
        const double t = kPeriods[g];
        groupTop[g] = top;
        const int count = g == 1 ? 5 : 10;
        for (int k = 0; k < count; ++k) bars.push_back({top - k * t - t / 2, top - k * t});
        top -= (g == 1 ? 4.5 : 9.5) * t + 2;
    }
}

ObjectProfile BarChartObject(const DetectorModel& model, const BarChartLayout& layout, double lowLevel)
{
    // Each bar adds a rising edge at its low end and a falling one at its high
    // end. Edges farther than the model's reach below a position count fully
    // (their signs summed in advance), edges beyond it above not at all.
    struct Edges {
        std::vector<double> position;
        std::vector<double> sign;
        std::vector<double> signsBefore;  // sum of the signs of the edges before each one
    };
    std::vector<std::pair<double, double>> sorted;
    for (const auto& [lo, hi] : layout.bars) {
        sorted.push_back({lo, 1.0});
        sorted.push_back({hi, -1.0});
    }
    std::sort(sorted.begin(), sorted.end());
    auto edges = std::make_shared<Edges>();
    double sum = 0;
    for (const auto& [position, sign] : sorted) {
        edges->position.push_back(position);
        edges->sign.push_back(sign);
        edges->signsBefore.push_back(sum);
        sum += sign;
    }
    edges->signsBefore.push_back(sum);
    const double reach = model.Reach();
    return [model, edges, lowLevel, reach](double u) {
        const auto& x = edges->position;
        std::size_t i = std::lower_bound(x.begin(), x.end(), u - reach) - x.begin();
        double level = edges->signsBefore[i];
        for (; i < x.size() && x[i] <= u + reach; ++i) level += edges->sign[i] * model.EdgeResponse(u - x[i]);
        return lowLevel + (1 - lowLevel) * level;
    };
}

}  // namespace radmtf::synth
