#include "os/file_tree.h"

#include "os/paths.h"

namespace norvane {

OsError createDirectories(Os& os, const std::string& path) {
  const std::string p(withoutTrailingSeparators(path));
  if (isEmptyOrRoot(p)) return kOsOk;  // roots exist or cannot be made
  auto existing = os.attributesOf(p);
  if (existing.ok()) return existing.value.directory ? kOsOk : kErrRefusedPath;
  const auto cut = p.find_last_of("\\/");
  if (cut != std::string::npos && cut > 0) {
    if (const OsError e = createDirectories(os, p.substr(0, cut)); e != kOsOk) return e;
  }
  const OsError made = os.createDirectory(p);
  if (made == kOsOk) return kOsOk;
  // Another creator may have won the race; what counts is that it exists.
  auto after = os.attributesOf(p);
  return after.ok() && after.value.directory ? kOsOk : made;
}

namespace {

OsError removeFile(Os& os, const std::string& path, const FileAttributes& a) {
  // A read-only file refuses deletion on Windows until its attribute goes.
  if (a.readOnly) os.setNormalAttributes(path);
  return os.deleteFile(path);
}

OsError removeContents(Os& os, const std::string& dir) {
  auto listing = os.listDirectory(dir);
  if (!listing.ok()) return listing.error;
  OsError first = kOsOk;
  for (const DirectoryEntry& entry : listing.value) {
    const std::string child = joinPath(dir, entry.name);
    OsError e = kOsOk;
    if (entry.attributes.link) {
      e = entry.attributes.directory ? os.removeDirectory(child) : os.deleteFile(child);
    } else if (entry.attributes.directory) {
      e = removeContents(os, child);
      const OsError r = os.removeDirectory(child);
      if (e == kOsOk) e = r;
    } else {
      e = removeFile(os, child, entry.attributes);
    }
    if (first == kOsOk) first = e;
  }
  return first;
}

}  // namespace

OsError deleteTree(Os& os, const std::string& path) {
  const std::string p(withoutTrailingSeparators(path));
  if (isEmptyOrRoot(p)) return kErrRefusedPath;
  auto a = os.attributesOf(p);
  if (!a.ok()) return a.error;
  if (a.value.link) return os.removeDirectory(p);  // the link only, never its target
  if (!a.value.directory) return kErrRefusedPath;
  const OsError inner = removeContents(os, p);
  const OsError self = os.removeDirectory(p);
  return inner != kOsOk ? inner : self;
}

}  // namespace norvane
