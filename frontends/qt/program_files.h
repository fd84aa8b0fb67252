#pragma once
// Pictures the program names: a path as the program writes it, with "\" separators and
// usually the program folder in front ("<folder>\GIF\fan0.gif"), or the name of a picture
// compiled into the program ("LOGO_ENG"). This is the one place that maps them to files.
#include <QPixmap>
#include <QString>
#include <string>

namespace veltrix::qt {

// The file for a picture name: "\" becomes "/", and a relative name (or one starting with a
// separator) is taken inside the program folder.
QString ProgramFilePath(const std::string& programFolder, const std::string& name);

// The picture: a compiled-in bitmap by name, else the file. Null when there is none.
QPixmap LoadProgramPicture(const std::string& programFolder, const std::string& name);

}  // namespace veltrix::qt
