#include "core/app/user_copy_cleanup.h"

#include <variant>
#include <vector>

#include "core/machine/registry_values.h"
#include "core/platform/event_ids.h"

namespace zc {
namespace {

constexpr int32_t kCurrentUser = static_cast<int32_t>(0x80000001u);  // HKEY_CURRENT_USER

Text Joined(TextView folder, TextView name) {
  Text path(folder);
  if (!path.empty() && path.back() != u'\\') path.push_back(u'\\');
  return path + Text(name);
}

Text WithoutTrailingSeparators(TextView path) {
  while (path.size() > 3 && path.back() == u'\\') path.remove_suffix(1);
  return Text(path);
}

bool SamePath(TextView a, TextView b) {
  return FoldCase(WithoutTrailingSeparators(a)) == FoldCase(WithoutTrailingSeparators(b));
}

bool Inside(TextView path, TextView folder) {
  const Text prefix = FoldCase(Joined(folder, u""));
  return FoldCase(path).rfind(prefix, 0) == 0;
}

// A log-on value's data names `program` when it is that path, bare or in double quotes,
// with nothing after it.
bool NamesProgram(TextView data, TextView program) {
  Text path = TrimSpaces(data);
  if (path.size() >= 2 && path.front() == u'"' && path.back() == u'"') path = path.substr(1, path.size() - 2);
  return SamePath(path, program);
}

class Cleanup {
 public:
  explicit Cleanup(const UserCopyParts& parts) : p_(parts) {}

  UserCopyOutcome Run() {
    if (p_.elevation.IsElevated()) return UserCopyOutcome::NotThere;
    const Text local = p_.install.LocalAppDataFolder();
    if (local.empty()) return UserCopyOutcome::NotThere;
    const Text programs = Joined(local, T(enc::UserProgramsFolder));
    folder_ = Joined(programs, T(enc::UserCopyFolder));
    if (Inside(p_.install.RunningProgramPath(), folder_)) return UserCopyOutcome::NotThere;

    const PathKind programsKind = p_.install.Inspect(programs);
    const PathKind folderKind = p_.install.Inspect(folder_);
    if (programsKind == PathKind::Link || folderKind == PathKind::Link) {
      Report(events::kUserCopyLeft, {T(enc::UserCopyLinked) + folder_ + T(enc::LogLineEnd)});
      return UserCopyOutcome::Linked;
    }
    if (folderKind != PathKind::Folder) return UserCopyOutcome::NotThere;

    const Text program = Joined(folder_, T(enc::UserCopyProgram));
    const std::vector<Text> files = {program, Joined(folder_, T(enc::LogFileName)),
                                     Joined(folder_, T(enc::UserCopyUninstaller))};
    bool any = false;
    for (const Text& file : files) any = any || p_.install.Inspect(file) != PathKind::Absent;
    if (!any) return UserCopyOutcome::NotThere;

    std::vector<Text> lines;
    RemoveRunValue(program, lines);
    for (const Text& file : files) RemoveFileIfThere(file);
    if (p_.install.RemoveEmptyFolder(folder_) != SystemError::None || p_.install.Inspect(folder_) != PathKind::Absent) {
      left_.push_back(folder_);
    }
    RemoveShortcut();
    RemoveEntry();

    if (left_.empty()) {
      lines.insert(lines.begin(), T(enc::UserCopyRemoved) + folder_ + T(enc::LogLineEnd));
      Report(events::kUserCopyRemoved, lines);
      return UserCopyOutcome::Removed;
    }
    for (const Text& thing : left_) lines.push_back(T(enc::UserCopyLeft) + thing + T(enc::LogLineEnd));
    Report(events::kUserCopyLeft, lines);
    return UserCopyOutcome::Incomplete;
  }

 private:
  Text T(TextView stored) const { return p_.texts.Get(stored); }

  // The log-on value goes when it names the old program (its file is about to go).
  void RemoveRunValue(const Text& program, std::vector<Text>& lines) {
    const auto root = ParseRootKeyText(T(enc::LogonRootText));
    if (!root) return;
    const Text key = T(enc::LogonKeyPath);
    const Text name = T(enc::LogonValueName);
    const RegistryValue value = p_.registry.ReadRegistryValueInView(*root, RegistryView::Native, key, name);
    const Text* data = std::get_if<Text>(&value);
    if (!data || !NamesProgram(*data, program)) return;
    if (p_.registry.RemoveValue(*root, RegistryView::Native, key, name) != SystemError::None) {
      left_.push_back(key + u"\\" + name);
      return;
    }
    lines.push_back(T(enc::UserCopyRunValueRemoved) + *data + T(enc::LogLineEnd));
  }

  // A file is gone only when a look afterwards finds nothing there.
  void RemoveFileIfThere(const Text& path) {
    const PathKind kind = p_.install.Inspect(path);
    if (kind == PathKind::Absent) return;
    if (kind != PathKind::File || p_.install.RemoveFile(path) != SystemError::None ||
        p_.install.Inspect(path) != PathKind::Absent) {
      left_.push_back(path);
    }
  }

  void RemoveShortcut() {
    const Text menu = p_.install.StartMenuProgramsFolder();
    if (menu.empty()) return;
    RemoveFileIfThere(Joined(menu, T(enc::WindowCaption) + T(enc::ShortcutExtension)));
  }

  // The entry is the user's to write: it is removed only when it names the folder just
  // cleaned, and nothing it says is ever run.
  void RemoveEntry() {
    const Text key = T(enc::UserCopyUninstallKey);
    const RegistryValue location =
        p_.registry.ReadRegistryValue(kCurrentUser, key, T(enc::UserCopyLocationValue));
    const Text* named = std::get_if<Text>(&location);
    if (!named || !SamePath(*named, folder_)) return;
    if (p_.install.RemoveUserKey(key) != SystemError::None) left_.push_back(u"HKCU\\" + key);
  }

  void Report(uint32_t eventId, const std::vector<Text>& lines) {
    Text event;
    for (const Text& line : lines) {
      p_.log.Write(line);
      if (!event.empty()) event += u"\r\n";
      event += line;
    }
    p_.events.Report(eventId, event);
  }

  const UserCopyParts& p_;
  Text folder_;
  std::vector<Text> left_;
};

}  // namespace

UserCopyOutcome RemoveOldUserCopy(const UserCopyParts& parts) { return Cleanup(parts).Run(); }

}  // namespace zc
