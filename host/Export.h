// Writing a shape list out for the laser: SVG and DXF, both in millimetres.
#pragma once

#include <QString>

class CShapeList;

// false with a reason in *pError when the file cannot be written.
bool WriteSvg(CShapeList& shapes, const QString& path, QString* pError);
bool WriteDxf(CShapeList& shapes, const QString& path, QString* pError);
