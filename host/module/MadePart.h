// What the module hands back on OK, as a part of the sheet: one rule for the
// window and the headless run alike.
#pragma once

#include "Part.h"

class CShapeList;
class HostEngine;

// The part the module's last Create made, from the list it handed back
// (released here, always): cut into its pieces, named after its generator in
// the current language, keeping the values it was made from. False when the
// engine made nothing drawable (a refused setting, a coordinate not finite).
bool MadePart(CShapeList* pResult, const HostEngine& engine, Part* pPart);
