// Hands what one block left undrawn to the run's list, under the names the report shows.
#pragma once

#include <cstdint>
#include <string_view>

#include "conversion/UndrawnCodes.h"
#include "nc/Omission.h"

// The kind as the report names it: the code itself where there is one ("G68", "G51.1").
std::string_view OmissionName(Omission omission);

void NoteOmissions(const OmissionList& omissions, std::int64_t fileLine, UndrawnCodes& undrawn);
