#include "scenes/vertex_tables.h"

#include <initializer_list>

namespace {
struct MovedPosition {
    int vertex;
    float x, y, z;
};

CubeTable withMovedPositions(CubeTable table, std::initializer_list<MovedPosition> moves) {
    for (const MovedPosition& move : moves) {
        table[move.vertex * 6 + 0] = move.x;
        table[move.vertex * 6 + 1] = move.y;
        table[move.vertex * 6 + 2] = move.z;
    }
    return table;
}
} // namespace

// clang-format off
const CubeTable plainCubeTable = {
    // back
    -0.5f, -0.5f, -0.5f,  0.35f, 0.2f, 0.41f,
     0.5f, -0.5f, -0.5f,  0.21f, 0.0f, 0.3f,
     0.5f,  0.5f, -0.5f,  0.0f, 0.0f, 1.0f,
     0.5f,  0.5f, -0.5f,  0.2f, 0.2f, 0.2f,
    -0.5f,  0.5f, -0.5f,  0.0f, 0.5f, 0.5f,
    -0.5f, -0.5f, -0.5f,  0.0f, 0.0f, 1.0f,
    // front
    -0.5f, -0.5f,  0.5f,  0.35f, 0.2f, 0.41f,
     0.5f, -0.5f,  0.5f,  1.0f, 0.0f, 0.0f,
     0.5f,  0.5f,  0.5f,  0.05f, 0.4f, 0.0f,
     0.5f,  0.5f,  0.5f,  0.4f, 0.4f, 0.4f,
    -0.5f,  0.5f,  0.5f,  0.0f, 0.0f, 1.0f,
    -0.5f, -0.5f,  0.5f,  0.0f, 0.0f, 1.0f,
    // left
    -0.5f,  0.5f,  0.5f,  0.1f, 0.4f, 0.5f,
    -0.5f,  0.5f, -0.5f,  0.0f, 0.0f, 1.0f,
    -0.5f, -0.5f, -0.5f,  0.0f, 0.6f, 0.6f,
    -0.5f, -0.5f, -0.5f,  0.6f, 0.6f, 0.0f,
    -0.5f, -0.5f,  0.5f,  0.35f, 0.2f, 0.41f,
    -0.5f,  0.5f,  0.5f,  0.35f, 0.2f, 0.41f,
    // right
     0.5f,  0.5f,  0.5f,  0.0f, 0.0f, 0.0f,
     0.5f,  0.5f, -0.5f,  0.0f, 0.5f, 0.0f,
     0.5f, -0.5f, -0.5f,  0.0f, 0.3f, 0.3f,
     0.5f, -0.5f, -0.5f,  0.0f, 0.0f, 1.0f,
     0.5f, -0.5f,  0.5f,  0.0f, 0.0f, 1.0f,
     0.5f,  0.5f,  0.5f,  0.3f, 0.2f, 0.0f,
    // bottom
    -0.5f, -0.5f, -0.5f,  0.0f, 0.0f, 1.0f,
     0.5f, -0.5f, -0.5f,  0.35f, 0.2f, 0.41f,
     0.5f, -0.5f,  0.5f,  0.5f, 0.5f, 0.0f,
     0.5f, -0.5f,  0.5f,  0.0f, 0.0f, 1.0f,
    -0.5f, -0.5f,  0.5f,  0.0f, 0.0f, 0.5f,
    -0.5f, -0.5f, -0.5f,  0.0f, 0.0f, 0.2f,
    // top
    -0.5f,  0.5f, -0.5f,  0.55f, 0.0f, 0.15f,
     0.5f,  0.5f, -0.5f,  0.0f, 0.5f, 0.0f,
     0.5f,  0.5f,  0.5f,  0.1f, 0.2f, 0.12f,
     0.5f,  0.5f,  0.5f,  0.0f, 0.0f, 0.5f,
    -0.5f,  0.5f,  0.5f,  0.0f, 0.0f, 0.75f,
    -0.5f,  0.5f, -0.5f,  0.0f, 0.0f, 1.0f,
};

// An open box whose face groups do not meet.
const CubeTable splitCubeTable = {
    -0.25f, -0.25f, -0.25f,  0.0f, 0.5f, 0.0f,
     0.25f, -0.25f, -0.25f,  0.2f, 0.2f, 0.2f,
     0.25f,  0.25f, -0.25f,  0.0f, 0.0f, 1.0f,
     0.25f,  0.25f, -0.25f,  0.31f, 0.0f, 0.12f,
    -0.25f,  0.25f, -0.25f,  0.2f, 0.4f, 0.6f,
    -0.25f, -0.25f, -0.25f,  0.0f, 0.0f, 1.0f,

    -0.25f, -0.25f,  0.25f,  0.0f, 0.2f, 0.2f,
     0.25f, -0.25f,  0.25f,  0.4f, 0.0f, 0.0f,
     0.25f,  0.25f,  0.25f,  0.32f, 0.4f, 0.3f,
     0.25f,  0.25f,  0.25f,  0.5f, 0.5f, 0.0f,
    -0.25f,  0.25f,  0.25f,  0.0f, 0.0f, 0.71f,
    -0.25f, -0.25f,  0.25f,  0.21f, 0.0f, 0.12f,

    -0.5f,  0.5f,  0.75f,  0.0f, 0.0f, 0.71f,
    -0.5f,  0.5f, -0.75f,  0.0f, 0.0f, 1.0f,
    -0.5f, -0.5f, -0.75f,  0.0f, 0.4f, 0.0f,
    -0.5f, -0.5f, -0.75f,  0.4f, 0.0f, 0.0f,
    -0.5f, -0.5f,  0.75f,  0.0f, 0.0f, 0.4f,
    -0.5f,  0.5f,  0.75f,  0.0f, 0.0f, 0.7f,

     0.5f,  0.5f,  0.75f,  0.4f, 0.0f, 0.4f,
     0.5f,  0.5f, -0.75f,  0.3f, 0.0f, 0.0f,
     0.5f, -0.5f, -0.75f,  0.3f, 0.0f, 0.0f,
     0.5f, -0.5f, -0.75f,  0.0f, 0.0f, 1.0f,
     0.5f, -0.5f,  0.75f,  0.5f, 0.0f, 0.5f,
     0.5f,  0.5f,  0.75f,  0.4f, 0.4f, 0.2f,

    -0.5f, -0.5f, -0.75f,  0.0f, 0.0f, 1.0f,
     0.5f, -0.5f, -0.75f,  0.1f, 0.0f, 0.2f,
     0.5f, -0.5f,  0.75f,  0.5f, 0.5f, 0.0f,
     0.5f, -0.5f,  0.75f,  0.0f, 0.0f, 1.0f,
    -0.5f, -0.5f,  0.75f,  0.0f, 0.0f, 0.5f,
    -0.5f, -0.5f, -0.5f,   0.0f, 0.0f, 0.2f,

    -0.25f,  0.5f, -0.5f,  0.1f, 0.14f, 0.2f,
     0.25f,  0.5f, -0.5f,  0.0f, 0.5f, 0.0f,
     0.25f,  0.5f,  0.5f,  0.21f, 0.22f, 0.23f,
     0.25f,  0.5f,  0.5f,  0.0f, 0.0f, 0.5f,
    -0.25f,  0.5f,  0.5f,  0.0f, 0.0f, 0.75f,
    -0.25f,  0.5f, -0.5f,  0.0f, 0.0f, 1.0f,
};

// The plain cube with eight corners pushed out to 0.75, its colours kept.
const CubeTable warpedCubeTable = withMovedPositions(plainCubeTable, {
    {3,   0.5f,  0.5f, -0.75f},
    {9,   0.5f,  0.5f,  0.75f},
    {14, -0.5f, -0.5f, -0.75f},
    {31,  0.75f, 0.5f, -0.5f},
    {32,  0.75f, 0.5f,  0.5f},
    {33,  0.75f, 0.5f,  0.5f},
    {34, -0.75f, 0.5f,  0.5f},
    {35, -0.75f, 0.5f, -0.5f},
});

// The open box with sixteen positions moved, its colours kept.
const CubeTable warpedSplitCubeTable = withMovedPositions(splitCubeTable, {
    {2,   0.75f,  0.75f, -0.75f},
    {3,   0.75f,  0.75f, -0.75f},
    {4,  -0.25f,  0.75f, -0.75f},
    {5,  -0.25f, -0.25f, -0.75f},
    {19,  0.5f,   0.5f,  -0.15f},
    {20,  0.5f,  -0.5f,  -0.15f},
    {21,  0.5f,  -0.5f,  -0.55f},
    {22,  0.5f,  -0.5f,   0.55f},
    {23,  0.5f,   0.5f,   0.55f},
    {27,  0.5f,  -0.9f,   0.75f},
    {28, -0.5f,  -0.9f,   0.75f},
    {29, -0.5f,  -0.9f,  -0.5f},
    {30, -0.95f,  0.5f,  -0.5f},
    {31,  0.95f,  0.5f,  -0.5f},
    {32,  0.95f,  0.5f,   0.5f},
    {33,  0.95f,  0.5f,   0.5f},
});

const float cardTable[4 * 8] = {
     0.5f,  0.5f, 0.0f,  1.0f, 0.0f, 0.0f,  1.0f, 1.0f,
     0.5f, -0.5f, 0.0f,  0.0f, 1.0f, 0.0f,  1.0f, 0.0f,
    -0.5f, -0.5f, 0.0f,  0.0f, 0.0f, 1.0f,  0.0f, 0.0f,
    -0.5f,  0.5f, 0.0f,  1.0f, 1.0f, 0.0f,  0.0f, 1.0f,
};

const unsigned int cardIndices[6] = {0, 1, 3, 1, 2, 3};
// clang-format on
