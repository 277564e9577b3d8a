// File and folder operations of the backup engine, over zr::Platform.
//
// Folders are enumerated one at a time (a folder's listing is complete before
// another one starts). Loops that may run long let the window process pending
// input between two files, so that a click on STOP can cancel the run.
#include "backup/file_operations.h"

#include <set>

#include "app/message_area.h"
#include "platform/text_file.h"
#include "platform/windows_path.h"

namespace zr {

namespace {

constexpr char kBackslash = '\\';

bool EndsWithBackslash(const std::string& text) {
  return !text.empty() && text.back() == kBackslash;
}

void ShowOkBox(Session& program, const std::string& text, const std::string& title) {
  MessageBoxRequest box;
  box.text = text;
  box.title = title;
  box.buttons = Buttons::kOk;
  program.ui.ShowMessageBox(box);
}

// Shows a failed file operation with its error number and the file's path.
void ShowFileError(Session& program, int error, const std::string& file) {
  ShowErrorBox(program, error, 1, ErrorBoxButtons::kOkOnly, file, "");
}

// Deletes the tree below `folder` (which ends with "\"). False when a file
// could not be deleted: that failure has been shown and ends the whole
// deletion, leaving the rest in place.
bool DeleteTree(Session& program, const std::string& folder) {
  Platform& platform = program.platform;
  // Sub-folders that could not be removed: never visited again, so that the
  // restart of the enumeration after each sub-folder always ends.
  std::set<std::string> left_in_place;
  bool restart = true;
  while (restart) {
    restart = false;
    std::vector<FolderEntry> entries;
    IgnoreStatus(platform.List(folder + "*", ListKind::kFilesAndFolders, &entries),
                 "a folder that cannot be listed is taken as empty");
    for (const FolderEntry& entry : entries) {
      if (entry.name == "." || entry.name == "..") continue;
      const std::string path = folder + entry.name;
      if (entry.is_folder()) {
        if (left_in_place.count(entry.name) != 0) continue;
        // An empty folder or a symbolic link goes at once; a link is removed
        // as a link, so the tree it points to is never entered.
        if (!platform.RemoveFolder(path).ok()) {
          if (!DeleteTree(program, path + kBackslash)) return false;
          // Unless it is surely gone it is never visited again: a folder the
          // host cannot even name (a path too long) would be listed for ever.
          unsigned attributes = 0;
          const Status there = platform.GetAttributes(path, &attributes);
          if (there.error != kErrFileNotFound && there.error != kErrPathNotFound) {
            left_in_place.insert(entry.name);
          }
        }
        restart = true;
        break;
      }
      unsigned attributes = 0;
      if (platform.GetAttributes(path, &attributes).ok() && (attributes & kAttrReadOnly) != 0) {
        IgnoreStatus(platform.SetAttributes(path, kAttrNormal),
                     "the delete that follows reports a file that stays read-only");
      }
      const Status deleted = platform.DeleteFile(path);
      if (!deleted.ok()) {
        ShowFileError(program, deleted.error, path);
        return false;
      }
    }
  }
  const bool drive_root = folder.size() >= 2 && folder.compare(folder.size() - 2, 2, ":\\") == 0;
  if (!drive_root) {
    IgnoreStatus(platform.RemoveFolder(folder), "a folder that cannot go stays, without a message");
    program.ui.ProcessPendingInput();
  }
  return true;
}

// The existence check of MakePath. Ok with `exists`, or the error of a device
// that could not be asked (a drive that is not ready). A missing path or a
// missing folder on its way is not an error: the path is simply missing.
Status CheckPath(Session& program, const std::string& path, bool root, bool* exists) {
  std::vector<FolderEntry> entries;
  Status status;
  if (EndsWithBackslash(path)) {
    // A folder: its listing succeeds exactly when it exists, empty or not.
    status = program.platform.List(path + "*", ListKind::kFilesAndFolders, &entries);
    *exists = status.ok();
  } else {
    status = program.platform.List(path, ListKind::kFilesAndFolders, &entries);
    *exists = status.ok() && (!entries.empty() || root);
  }
  if (status.error == kErrPathNotFound || status.error == kErrFileNotFound) {
    *exists = false;
    return Status::Ok();
  }
  return status;
}

// The prefix of `path` up to and including its `level`-th backslash, or the
// whole path when it holds fewer.
std::string PrefixOfLevel(const std::string& path, int level) {
  std::size_t position = std::string::npos;
  for (int found = 0; found < level; ++found) {
    position = path.find(kBackslash, position == std::string::npos ? 0 : position + 1);
    if (position == std::string::npos) return path;
  }
  return path.substr(0, position + 1);
}

// One level of the creation loop of MakePath: whether it is there, as a quiet
// MakePath of it would tell. A folder level (ending with "\") is asked for its
// attributes instead of being listed: the levels above a new folder are often
// large folders (the customer folder with its thousands of copies), listed
// with the attributes of every entry for nothing.
bool LevelThere(Session& program, const std::string& prefix) {
  if (EndsWithBackslash(prefix)) {
    unsigned attributes = 0;
    return program.platform.GetAttributes(prefix, &attributes).ok() &&
           (attributes & kAttrFolder) != 0;
  }
  return MakePath(program, prefix, PathCheck::kQuiet, false);
}

// The error number with its text, when the program knows one: "61 (Disco pieno)".
std::string ErrorWithText(const Session& program, int error) {
  std::string text = std::to_string(error);
  if (error > 0 && error < static_cast<int>(program.ErrorTexts.size()) &&
      !program.ErrorTexts[error].empty()) {
    text += " (" + program.ErrorTexts[error] + ")";
  }
  return text;
}

// A file that is not in the backup: an alarm line names it and why, and the
// job counts it.
void ReportNotCopied(Session& program, const std::string& file, const std::string& why,
                     int files = 1) {
  WriteMessageLine(program,
                   "File " + file + (files == 1 ? " non copiato: " : " non copiati: ") + why, true,
                   program.ColorStop, false);
  program.run.FileDone(file, FileOutcome::kFailed, why, 0, files);
}

// The real locations a copy is checked against that stay the same for every
// file of a folder: the customer folder's, and the source folder's for the
// copies of a listing. Read once for the folder instead of once a file.
struct KnownLocations {
  std::optional<std::string> customer;       // empty optional: not read yet
  std::optional<std::string> source_folder;  // a listing's folder, its files plain names
};

bool CustomerLocation(Session& program, KnownLocations& known, std::string* location) {
  if (!known.customer) {
    std::string real;
    if (!program.platform.RealLocation(program.CustomerFolder, &real).ok()) return false;
    known.customer = std::move(real);
  }
  *location = *known.customer;
  return true;
}

// Why nothing may be written at `target`, or "" when it may. Destinations
// are built from values read in product files, which may hold "..", "/" or
// lead through a link: what counts is where the path really lies, and that
// must be strictly below the customer folder (the customer folder itself for
// a folder). A copy never writes over its own source. `source_name` is the
// source's name in the folder `known.source_folder` names, when it is set.
std::string TargetRefusal(Session& program, const std::string& target, bool folder,
                          const std::string& source, KnownLocations& known,
                          std::string_view source_name = {}) {
  // Each real location is read once: the target's serves both comparisons.
  std::string real_target, real_customer;
  const bool read = program.platform.RealLocation(target, &real_target).ok() &&
                    CustomerLocation(program, known, &real_customer);
  const Placement place = read ? PlaceOfLocations(real_target, real_customer) : Placement::kApart;
  if (place != Placement::kBelow && !(folder && place == Placement::kSame)) {
    return "la destinazione " + target + " è fuori dalla cartella " + program.CustomerFolder;
  }
  if (folder) return {};
  // A source that is itself a link to its copy is still never written: the
  // platform refuses a copy onto itself.
  std::string real_source;
  const bool source_read =
      known.source_folder && !source_name.empty() &&
              source_name.find_first_of("\\/") == std::string_view::npos
          ? (real_source = *known.source_folder + "/" + std::string(source_name), true)
          : program.platform.RealLocation(source, &real_source).ok();
  if (source_read && PlaceOfLocations(real_target, real_source) == Placement::kSame) {
    return "la destinazione " + target + " è il file stesso";
  }
  return {};
}

// Copies one file after the destination check; false when it was not copied
// (reported, counted, and not to be entered in the archive list).
bool CopyChecked(Session& program, const std::string& from, const std::string& to,
                 KnownLocations& known, std::string_view source_name = {}) {
  if (const std::string why = TargetRefusal(program, to, false, from, known, source_name);
      !why.empty()) {
    ReportNotCopied(program, from, why);
    return false;
  }
  // The copy's sum serves the archive's check, should the file be listed.
  std::optional<FileSum> sum;
  const Status copied = program.platform.CopyFileSummed(from, to, &sum);
  if (sum) {
    program.listed_sums.Keep(from, *sum);
  } else {
    program.listed_sums.Forget(from);
  }
  if (!copied.ok()) {
    ShowFileError(program, copied.error, from);
    ReportNotCopied(program, from, "errore " + ErrorWithText(program, copied.error));
    return false;
  }
  return true;
}

void WriteProgress(Session& program, const std::string& text, Color colour, bool only_zip) {
  WriteMessageLine(program, text, false, colour, only_zip);
  program.ui.ProcessPendingInput();
}

}  // namespace

std::optional<Color> LineColour(Color field) {
  // The fields hold 0 until they are set; 0 or less (as a signed 32-bit
  // value) is taken as no colour.
  if (static_cast<std::int32_t>(field) <= 0) return std::nullopt;
  return field;
}

void DeleteFolderTree(Session& program, std::string folder) {
  // Read-only files are deleted without a question in every mode.
  if (!EndsWithBackslash(folder)) folder += kBackslash;
  DeleteTree(program, folder);
}

namespace {

void AppendFiles(Session& program, const std::string& folder, const std::string& extension,
                 FileListing& listing, bool recurse) {
  std::vector<FolderEntry> entries;
  IgnoreStatus(program.platform.List(folder + "*." + extension, ListKind::kFilesOnly, &entries),
               "a folder that cannot be listed is taken as empty");
  for (const FolderEntry& entry : entries) {
    if (entry.is_folder()) continue;
    program.ui.ProcessPendingInput();
    listing.push_back({entry.name, folder});
  }
  if (!recurse) return;
  std::vector<std::string> subfolders;
  if (!ListSubfolders(program, folder, subfolders, Depth::kAll)) return;
  for (const std::string& subfolder : subfolders) {
    program.ui.ProcessPendingInput();
    AppendFiles(program, subfolder + kBackslash, extension, listing, false);
  }
}

}  // namespace

FileListing ListFiles(Session& program, const std::string& folder, const std::string& extension,
                      bool recurse) {
  FileListing listing;
  AppendFiles(program, SetTrailingBackslash(folder, true), extension.empty() ? "*" : extension,
              listing, recurse);
  return listing;
}

bool ListSubfolders(Session& program, const std::string& folder, std::vector<std::string>& list,
                    Depth depth) {
  const std::size_t first = list.size();
  std::vector<FolderEntry> entries;
  IgnoreStatus(program.platform.List(folder + "*", ListKind::kFilesAndFolders, &entries),
               "a folder that cannot be listed is taken as empty");
  for (const FolderEntry& entry : entries) {
    if (entry.name == "." || entry.name == "..") continue;
    if (entry.is_folder()) list.push_back(folder + entry.name);
  }
  if (list.empty()) return false;
  if (depth == Depth::kAll) {
    const std::size_t end = list.size();
    for (std::size_t i = first; i < end; ++i) {
      const std::string below = list[i] + kBackslash;
      ListSubfolders(program, below, list, Depth::kAll);
    }
  }
  return true;
}

bool MakePath(Session& program, const std::string& given, PathCheck mode, bool create) {
  const std::string path = CompleteDrive(given);
  const bool root = path.size() == 3;

  bool exists = false;
  const Status checked = CheckPath(program, path, root, &exists);
  if (!checked.ok()) {
    exists = false;
    if (mode == PathCheck::kAsk) {
      const Answer answer =
          ShowErrorBox(program, checked.error, 0, ErrorBoxButtons::kOkCancel, path + "\r",
                       "Premere OK se sistemato ,altrimenti CANCEL per uscire\r");
      if (answer == Answer::kCancel) program.ui.EndProgram();
      const bool found_again = MakePath(program, path, PathCheck::kAsk, false);
      // After the user fixed the device, only a drive root takes the repeated
      // answer; any other path counts as missing, so that creation tests its
      // levels one by one.
      exists = root && found_again;
    }
    // Any other mode is quiet: the path counts as missing.
  }

  if (!create || exists) return exists;

  for (int level = 2;; ++level) {
    const std::string prefix = PrefixOfLevel(path, level);
    // The two backslashes that open a UNC path are no folder of their own.
    if (prefix == "\\\\") return false;
    if (!LevelThere(program, prefix)) {
      const Status made = program.platform.CreateFolder(prefix);
      if (!made.ok()) {
        // A folder that the listing does not show (a hidden one) is there.
        unsigned attributes = 0;
        const bool there = made.error == kErrPathFileAccess &&
                           program.platform.GetAttributes(prefix, &attributes).ok() &&
                           (attributes & kAttrFolder) != 0;
        if (!there) return false;
      }
    }
    if (prefix == path) return true;
  }
}

std::string GetWindowsFolder(Session& program) {
  std::string folder = CutAtNul(program.platform.WindowsFolder());
  if (folder.size() > 143) folder.resize(143);
  return TrimBlanks(folder);
}

std::string ParentFolder(const std::string& path, bool with_backslash) {
  const std::string_view folder = FolderOfText(path);
  return std::string(with_backslash || folder.empty() ? folder
                                                      : folder.substr(0, folder.size() - 1));
}

std::string StripExtension(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string PathBelowRoot(std::string path, bool with_backslash) {
  std::size_t cut = path.find(':');
  if (cut == std::string::npos) cut = path.find("\\\\");
  if (cut != std::string::npos) {
    // The drive letter, colon and first backslash, or the two leading backslashes.
    const std::size_t drop = cut + 2;
    path = drop >= path.size() ? std::string() : path.substr(drop);
  }
  path = TrimBlanks(path);
  return SetTrailingBackslash(path, with_backslash);
}

void CopyFilesByExtension(Session& program, const std::string& source,
                          const std::string& destination, const std::string& extension,
                          std::optional<Color> line, bool add_to_list) {
  if (program.run.cancelled()) return;
  // Without an archive the files meant for it alone go into the customer
  // folder like the others, under their path below the drive root: a backup
  // with no archive is whole too.
  std::string target = destination;
  const OperationReport& report = program.run.report();
  if (target.empty() && program.run.active() && report.operation == Operation::kBackup &&
      !report.archive_wanted) {
    target = program.CustomerFolder +
             PathBelowRoot(extension.empty() ? ParentFolder(source, true) : source, true);
  }
  const bool only_zip = target.empty();

  // The files a folder form would take, once, for the loop and for counting
  // what a refused or missing destination leaves out.
  std::vector<FolderEntry> entries;
  if (!extension.empty()) {
    const Status listed =
        program.platform.List(source + "*." + extension, ListKind::kFilesOnly, &entries);
    // A missing folder holds nothing to copy (its box follows); one that is
    // there but cannot be read is never taken as empty.
    if (!listed.ok() && listed.error != kErrPathNotFound && listed.error != kErrFileNotFound) {
      ReportNotCopied(
          program, source + "*." + extension,
          "cartella non leggibile (errore " + ErrorWithText(program, listed.error) + ")");
      return;
    }
    std::erase_if(entries, [](const FolderEntry& entry) { return entry.is_folder(); });
  }
  const int files_in_hand = extension.empty() ? (FileExists(program.platform, source) ? 1 : 0)
                                              : static_cast<int>(entries.size());
  RunContext& run = program.run;
  run.FilesKnown(files_in_hand);
  // A copy that succeeded, for the report (failures are reported where they arise).
  // The size as listed serves for a copy of a listing; 0 (an empty file, or
  // one the host listed without its size) is asked of the copy itself.
  const auto done = [&](const std::string& file, const std::string& copy,
                        std::uint64_t listed_size = 0) {
    if (copy.empty()) {
      run.FileDone(file, FileOutcome::kArchiveOnly);
    } else {
      run.FileDone(file, FileOutcome::kDone, {},
                   listed_size > 0 ? listed_size : FileSize(program.platform, copy));
    }
  };

  KnownLocations known;
  if (!target.empty()) {
    if (const std::string why = TargetRefusal(program, target, true, source, known); !why.empty()) {
      ReportNotCopied(program, extension.empty() ? source : source + "*." + extension, why,
                      files_in_hand);
      return;
    }
  }
  if (!target.empty() && target != program.CustomerFolder) {
    target = CompleteDrive(target);
    if (!MakePath(program, target, PathCheck::kQuiet, true)) {
      ShowOkBox(program,
                "Il percorso: \r" + target + "\rnon esiste e non è possibile crearlo. " + extension,
                "Folder Empty");
      run.FileDone(extension.empty() ? source : source + "*." + extension, FileOutcome::kFailed,
                   "il percorso " + target + " non esiste e non è possibile crearlo", 0,
                   files_in_hand);
      return;
    }
  }

  if (extension.empty()) {
    if (files_in_hand == 0) {
      ShowOkBox(program, "File: \r" + source + "\rnon trovato ", "File not Found");
      return;
    }
    run.FileStarted(source);
    const std::string copy = target.empty() ? "" : target + std::string(NameOfText(source, "\\/"));
    if (copy.empty()) program.listed_sums.Forget(source);
    const bool copied = copy.empty() || CopyChecked(program, source, copy, known);
    if (!copied) return;
    done(source, copy);
    if (add_to_list) AddToArchiveList(program, {source});
    if (line) WriteProgress(program, source, *line, only_zip);
    return;
  }

  if (entries.empty()) {
    ShowOkBox(program,
              "Nel percorso: \r" + source + "\rnon ci sono file con estensione " + extension,
              "Folder Empty");
    return;
  }
  if (!target.empty()) {
    std::string real_source;
    if (program.platform.RealLocation(source, &real_source).ok()) {
      known.source_folder = std::move(real_source);
    }
  }
  // The folder's lines of the archive list go in one write after its copies.
  std::vector<std::string> listed;
  for (const FolderEntry& entry : entries) {
    const std::string file = source + entry.name;
    run.FileStarted(file);
    if (line) WriteProgress(program, file, *line, only_zip);
    const std::string copy = target.empty() ? "" : target + entry.name;
    if (copy.empty()) program.listed_sums.Forget(file);
    const bool copied = copy.empty() || CopyChecked(program, file, copy, known, entry.name);
    if (copied) done(file, copy, entry.size);
    if (copied && add_to_list) listed.push_back(file);
    if (program.run.cancelled()) break;
  }
  AddToArchiveList(program, listed);
}

namespace {

void ListWriteFailed(Session& program, const Status& failed) {
  if (program.archive_list_failure.ok()) program.archive_list_failure = failed;
  ShowErrorBox(program, failed.error, 1, ErrorBoxButtons::kOkOnly, "", "");
}

}  // namespace

void AddToArchiveList(Session& program, const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  if (!program.archive_list) {
    if (Status s = program.platform.OpenAppending(program.ArchiveListFile(), &program.archive_list);
        !s.ok()) {
      ListWriteFailed(program, s);
      return;
    }
  }
  if (Status s = program.archive_list->Append(TextLines(lines)); !s.ok()) {
    ListWriteFailed(program, s);
  }
}

void CloseArchiveList(Session& program) {
  if (!program.archive_list) return;
  const Status closed = program.archive_list->Close();
  program.archive_list.reset();
  if (!closed.ok()) ListWriteFailed(program, closed);
}

void DeleteFileIfPresent(Session& program, const std::string& file) {
  if (!FileExists(program.platform, file)) return;
  const Status deleted = program.platform.DeleteFile(file);
  // A list file that stays would carry the lines of an earlier run into the
  // new archive: say so instead of going on silently.
  if (!deleted.ok()) ShowFileError(program, deleted.error, file);
}

}  // namespace zr
