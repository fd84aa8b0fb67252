#pragma once
// Pictures the program names: a path as the program writes it, with "\" separators and
// usually the program folder in front ("<folder>\GIF\fan0.gif"), or the name of a picture
// compiled into the program ("LOGO_ENG"). This is the one place that maps them to files.
//
// Every picture is read and decoded once and kept for the whole run (a window built again, an
// animation that loops, never reads its file again). A picture the program folder should hold
// but does not is taken from the copy built into the program where there is one (the icon,
// the window buttons, the splash, the title pictures, the thermometer), so the tray icon is
// never blank and the window can always be closed.
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>
#include <string>

namespace veltrix::qt {

// The file for a picture name: "\" becomes "/", and a relative name (or one starting with a
// separator) is taken inside the program folder.
QString ProgramFilePath(const std::string& programFolder, const std::string& name);

// The picture: a compiled-in bitmap by name, else the file, else its built-in copy. Null when
// there is none.
QPixmap LoadProgramPicture(const std::string& programFolder, const std::string& name);

// An animated picture, decoded once: its frames and how long each stays (ms). A still picture
// is one frame.
struct Animation {
  QVector<QPixmap> frames;
  QVector<int> delaysMs;
};
// The animation in a file of the program folder; nullptr when it cannot be read.
std::shared_ptr<const Animation> LoadProgramAnimation(const std::string& programFolder,
                                                      const std::string& name);

// The program's icon (tray and windows): "veltrix.png" of the program folder, else built in.
QIcon ProgramIcon(const std::string& programFolder);

// The pictures a program folder ships with ("skin/min.png", ...), relative to it.
const QStringList& ShippedPictures();
// Those of them the folder does not hold.
QStringList MissingProgramPictures(const std::string& programFolder);
// Whether the program has a copy of its own of a shipped picture.
bool HasBuiltInPicture(const QString& relativeName);

// How many files were read and decoded so far (each at most once).
int PictureFilesDecoded();

}  // namespace veltrix::qt
