#include "conversion/DxfName.h"

#include "core/File.h"

std::string DxfNameFor(const std::string& ncFile) {
    return PathWithoutExt(ncFile) + ".DXF";
}
