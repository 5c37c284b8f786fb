#pragma once
// Controls that show one of several rows, chosen by the value of their first
// address: the first row whose value equals it.

#include <cfloat>
#include <cmath>
#include <vector>

template <class Row>
const Row* kv_row_for_value(const std::vector<Row>& rows, double value)
{
    for (const Row& row : rows)
        if (std::fabs(row.value - value) <= DBL_EPSILON)
            return &row;
    return nullptr;
}
