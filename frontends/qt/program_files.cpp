#include "frontends/qt/program_files.h"

#include <QDir>
#include <QFileInfo>

#include "monitor/resources/logos.h"

namespace veltrix::qt {

QString ProgramFilePath(const std::string& programFolder, const std::string& name) {
  QString path = QString::fromStdString(name).replace('\\', '/');
  if (path.isEmpty()) return {};
  const QString folder = QString::fromStdString(programFolder).replace('\\', '/');
  if (!folder.isEmpty() && path.startsWith(folder)) return QDir::cleanPath(path);
  if (QFileInfo(path).isAbsolute() && QFileInfo::exists(path)) return QDir::cleanPath(path);
  while (path.startsWith('/')) path.remove(0, 1);
  return QDir::cleanPath(folder + '/' + path);
}

QPixmap LoadProgramPicture(const std::string& programFolder, const std::string& name) {
  QPixmap pixmap;
  if (name.empty()) return pixmap;  // no picture set
  const auto bitmap = monitor::LogoBitmap(name);
  if (!bitmap.empty()) {
    pixmap.loadFromData(bitmap.data(), static_cast<uint>(bitmap.size()), "BMP");
    return pixmap;
  }
  pixmap.load(ProgramFilePath(programFolder, name));
  return pixmap;
}

}  // namespace veltrix::qt
