#pragma once

#include <string>

// The output name the window and the command line derive from an NC name: the NC file's folder and base name
// followed by ".DXF". Only the last extension is replaced (A.B.NC gives A.B.DXF); a name without one gets it
// appended.
std::string DxfNameFor(const std::string& ncFile);
