#include "frontends/qt/program_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPointer>
#include <map>

#include "monitor/resources/logos.h"

// The built-in pictures are a resource of this library; a static library needs to register it.
static void InitBuiltInPictures() {
  Q_INIT_RESOURCE(builtin_pictures);
}

namespace veltrix::qt {
namespace {

constexpr const char* kBuiltInRoot = ":/program-folder/";

// The decoded pictures of the run, keyed by the file they came from. It belongs to the
// application object, so no picture outlives it.
class PictureCache : public QObject {
 public:
  explicit PictureCache(QObject* parent) : QObject(parent) { InitBuiltInPictures(); }
  std::map<QString, QPixmap> stills;
  std::map<QString, std::shared_ptr<const Animation>> animations;
  int decoded = 0;
};

PictureCache& Cache() {
  static QPointer<PictureCache> cache;
  if (!cache) cache = new PictureCache(QCoreApplication::instance());
  return *cache;
}

// The name of a file inside the program folder, relative to it; empty for a file elsewhere.
QString RelativeToFolder(const std::string& programFolder, const QString& file) {
  const QString folder = QDir::cleanPath(QString::fromStdString(programFolder).replace('\\', '/'));
  if (folder.isEmpty() || !file.startsWith(folder + '/')) return {};
  return file.mid(folder.size() + 1);
}

// The file to decode: the program folder's, else the built-in copy; empty when neither exists.
QString Source(const std::string& programFolder, const QString& file) {
  if (QFileInfo(file).isFile()) return file;
  const QString relative = RelativeToFolder(programFolder, file);
  if (!relative.isEmpty() && HasBuiltInPicture(relative)) return kBuiltInRoot + relative;
  return {};
}

}  // namespace

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
  if (name.empty()) return {};  // no picture set
  PictureCache& cache = Cache();
  const auto bitmap = monitor::LogoBitmap(name);
  const QString key = bitmap.empty() ? ProgramFilePath(programFolder, name) : QString::fromStdString(name);
  if (auto it = cache.stills.find(key); it != cache.stills.end()) return it->second;
  QPixmap pixmap;
  if (!bitmap.empty()) {
    pixmap.loadFromData(bitmap.data(), static_cast<uint>(bitmap.size()), "BMP");
  } else if (const QString source = Source(programFolder, key); !source.isEmpty()) {
    pixmap.load(source);
  }
  ++cache.decoded;
  cache.stills.emplace(key, pixmap);  // a missing picture is remembered as missing too
  return pixmap;
}

std::shared_ptr<const Animation> LoadProgramAnimation(const std::string& programFolder,
                                                      const std::string& name) {
  if (name.empty()) return nullptr;
  PictureCache& cache = Cache();
  const QString key = ProgramFilePath(programFolder, name);
  if (auto it = cache.animations.find(key); it != cache.animations.end()) return it->second;
  std::shared_ptr<Animation> animation;
  if (const QString source = Source(programFolder, key); !source.isEmpty()) {
    QImageReader reader(source);
    animation = std::make_shared<Animation>();
    for (QImage frame = reader.read(); !frame.isNull(); frame = reader.read()) {
      animation->frames.push_back(QPixmap::fromImage(frame));
      animation->delaysMs.push_back(reader.nextImageDelay() > 0 ? reader.nextImageDelay() : 100);
      if (!reader.supportsAnimation()) break;
    }
    if (animation->frames.isEmpty()) animation.reset();
  }
  ++cache.decoded;
  cache.animations.emplace(key, animation);
  return animation;
}

QIcon ProgramIcon(const std::string& programFolder) {
  return QIcon(LoadProgramPicture(programFolder, "veltrix.png"));
}

const QStringList& ShippedPictures() {
  static const QStringList names{
      "veltrix.png",          "GIF/fan0.gif",   "GIF/fan1.gif",        "GIF/fan2.gif",
      "GIF/fan3.gif",         "GIF/fan4.gif",   "GIF/fan5.gif",        "GIF/Hushwind Bar.jpg",
      "GIF/Veltrix III.jpg",  "skin/exit.png",  "skin/min.png",        "skin/splash.png",
      "skin/thermometer.png", "skin/thumb.png", "skin/graph_grid.png", "skin/fan_graph_grid.png"};
  return names;
}

QStringList MissingProgramPictures(const std::string& programFolder) {
  const QString folder = QString::fromStdString(programFolder).replace('\\', '/');
  QStringList missing;
  for (const QString& name : ShippedPictures()) {
    if (folder.isEmpty() || !QFileInfo(folder + '/' + name).isFile()) missing << name;
  }
  return missing;
}

bool HasBuiltInPicture(const QString& relativeName) {
  InitBuiltInPictures();
  return QFileInfo::exists(kBuiltInRoot + relativeName);
}

int PictureFilesDecoded() {
  return Cache().decoded;
}

}  // namespace veltrix::qt
