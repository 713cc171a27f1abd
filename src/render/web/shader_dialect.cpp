#include "render/web/shader_dialect.h"

std::string toEsDialect(const std::string& source) {
    const std::string desktopVersion = "#version 330 core";
    if (source.compare(0, desktopVersion.size(), desktopVersion) != 0) {
        return source;
    }
    const std::size_t lineEnd = source.find('\n');
    const std::string rest = lineEnd == std::string::npos ? "" : source.substr(lineEnd + 1);
    // Samplers too: in ES a sampler's precision is that of what it returns, and the lighting
    // reads HDR values far above mediump's range.
    return "#version 300 es\n"
           "precision highp float; precision highp int; precision highp sampler2D; "
           "precision highp samplerCube;\n"
           "#line 2\n" +
           rest;
}
