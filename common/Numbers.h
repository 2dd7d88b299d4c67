// Numbers from the settings file may be anything; these keep them usable.
#pragma once

#include <algorithm>
#include <climits>
#include <cmath>

// Truncates toward zero, saturating at the int range (NaN gives 0), so a
// wild value cannot overflow a widget's integer.
inline int TruncToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(INT_MAX))
        return INT_MAX;
    if (value <= double(INT_MIN))
        return INT_MIN;
    return int(value);
}

// Lower bound first, so a NaN ends at the lower bound.
inline double ClampToRange(double dValue, double dLower, double dUpper)
{
    return std::min(std::max(dLower, dValue), dUpper);
}
