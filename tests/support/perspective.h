#pragma once
// Checks a perspective projection element by element: the four elements a GL frustum sets, and
// zero everywhere else.
#include <glm/glm.hpp>
#include <gtest/gtest.h>

inline void expectPerspective(const glm::mat4& projection, float xScale, float yScale,
                              float depthScale, float depthOffset) {
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            float expected = 0.0f;
            if (column == 0 && row == 0) {
                expected = xScale;
            } else if (column == 1 && row == 1) {
                expected = yScale;
            } else if (column == 2 && row == 2) {
                expected = depthScale;
            } else if (column == 2 && row == 3) {
                expected = -1.0f;
            } else if (column == 3 && row == 2) {
                expected = depthOffset;
            }
            EXPECT_NEAR(projection[column][row], expected, 1e-6f) << column << "," << row;
        }
    }
}
