#pragma once
#include <cmath>

// The grid the flash check and the limiter read a picture on, and its field-sized regions: a
// field is a third of the screen each way (about 10 degrees of view at a usual distance), laid
// out 5 x 5 overlapping over the grid, and then the whole frame.
namespace flashgrid {
constexpr int width = 160;
constexpr int height = 90;
constexpr int cells = width * height;
constexpr int fieldWidth = (width + 1) / 3;
constexpr int fieldHeight = height / 3;
constexpr int fieldCells = fieldWidth * fieldHeight;
constexpr int fieldsAcross = 5;
constexpr int regions = fieldsAcross * fieldsAcross + 1;

struct Rect {
    int x0, y0, width, height;
};

inline int fieldStart(int index, int size, int field) {
    return static_cast<int>(std::lround(index * double(size - field) / (fieldsAcross - 1)));
}

// Region r: the fields row by row, then the whole frame.
inline Rect region(int r) {
    if (r == regions - 1) {
        return {0, 0, width, height};
    }
    return {fieldStart(r % fieldsAcross, width, fieldWidth),
            fieldStart(r / fieldsAcross, height, fieldHeight), fieldWidth, fieldHeight};
}
} // namespace flashgrid
