#include "BenchFigures.h"

#include <algorithm>

namespace vesk::bench {

double median(std::vector<double> values) {
    if (values.empty() || std::any_of(values.begin(), values.end(), [](double v) { return v < 0; })) return -1;
    std::sort(values.begin(), values.end());
    std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

}  // namespace vesk::bench
