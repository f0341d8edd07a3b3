#pragma once
// The scripting file-system object: the members the add-in uses, over
// std::filesystem, with the errors the original raised:
//   53 "File not found"       GetFile, DeleteFile, File members of a vanished file
//   58 "File already exists"  CreateFolder on an existing name, CreateTextFile without overwrite
//   70 "Permission denied"    deleting a read-only file without force, a locked file, no access
//   76 "Path not found"       GetFolder, a missing parent folder
// Names resolve without regard to case (resolve.h); paths use '/'.
//
// The seam: every member call is recorded, and any member can be made to fail
// with a number and a description, or (GetFolder, GetFile) to give no object,
// as a script-blocking guard does.
//
//   auto fso = platform::fso::CreateFileSystemObject();
//   if (fso->FolderExists(path)) folder = fso->GetFolder(path);
//   for (const auto& file : folder->Files()) file->Delete(true);

#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/seam_record.h"

namespace platform::fso {

class Seam {
 public:
  struct Call {
    std::string member;    // "GetFolder", "File.Delete", "TextStream.WriteLine", ...
    std::string argument;  // the path (or the text written)
  };

  // The next `times` calls of `member` (-1: every call) raise this error; an
  // empty description takes the runtime's text for the number.
  void Fail(std::string member, long number, std::string description = {}, int times = -1);
  // GetFolder / GetFile give no object (nullptr) instead of a folder or file.
  void GiveNothing(std::string member, bool on = true);
  void Heal(const std::string& member);
  void HealAll();

  const std::vector<Call>& Calls() const { return calls_.Entries(); }
  void ClearCalls() { calls_.Clear(); }
  // The calls of one member, in order.
  std::vector<std::string> CallsOf(std::string_view member) const;

  // Records the call and raises an injected fault; true when the member is
  // to give no object.
  bool Enter(std::string_view member, std::string_view argument);

 private:
  struct Fault {
    long number = 0;
    std::string description;
    int times = -1;
  };
  std::map<std::string, Fault, std::less<>> faults_;
  std::map<std::string, bool, std::less<>> nothing_;
  platform::SeamRecord<Call> calls_;
};

class File {
 public:
  File(std::shared_ptr<Seam> seam, std::string path);

  std::string Name() const;
  const std::string& Path() const { return path_; }
  // Linux has no short names: the path itself.
  const std::string& ShortPath() const { return path_; }
  std::int64_t Size() const;
  // force: a read-only file is deleted too. A locked file fails with 70.
  void Delete(bool force = false);

 private:
  std::shared_ptr<Seam> seam_;
  std::string path_;
};

class Folder {
 public:
  Folder(std::shared_ptr<Seam> seam, std::string path);

  std::string Name() const;
  const std::string& Path() const { return path_; }
  const std::string& ShortPath() const { return path_; }
  // The files (no subfolders) in case-insensitive name order; a snapshot.
  std::vector<std::shared_ptr<File>> Files() const;

 private:
  std::shared_ptr<Seam> seam_;
  std::string path_;
};

// A text file being written. The text goes to a temporary file beside the
// target, which takes the target's place on Close (or when the stream is
// released unclosed), so a failure never leaves a half-written file.
class TextStream {
 public:
  TextStream(std::shared_ptr<Seam> seam, std::string path);
  TextStream(const TextStream&) = delete;
  TextStream& operator=(const TextStream&) = delete;
  ~TextStream();

  void Write(std::string_view text);
  // Lines end with CR LF, as on the original system.
  void WriteLine(std::string_view text = {});
  void Close();

 private:
  void Check(std::string_view member, std::string_view argument);
  std::shared_ptr<Seam> seam_;
  std::string path_;
  std::string temp_;
  std::ofstream out_;
  bool open_ = false;
};

class FileSystemObject {
 public:
  FileSystemObject();

  bool FolderExists(std::string_view path);
  bool FileExists(std::string_view path);
  std::shared_ptr<Folder> GetFolder(std::string_view path);
  std::shared_ptr<File> GetFile(std::string_view path);
  // One level: the parent must exist.
  std::shared_ptr<Folder> CreateFolder(std::string_view path);
  void DeleteFile(std::string_view path, bool force = false);
  // The last component without its last ".ext": "a.b.jpg" -> "a.b". No disk access.
  std::string GetBaseName(std::string_view path);
  std::shared_ptr<TextStream> CreateTextFile(std::string_view path, bool overwrite = true);

  Seam& seam() { return *seam_; }

 private:
  std::shared_ptr<Seam> seam_;
};

// Creating the object (CreateObject("Scripting.FileSystemObject")). Tests
// install a provider that hands out their own object, gives nullptr, or raises
// (a blocked scripting runtime); by default each call makes a new object.
using FileSystemObjectProvider = std::function<std::shared_ptr<FileSystemObject>()>;
void SetFileSystemObjectProvider(FileSystemObjectProvider provider);
std::shared_ptr<FileSystemObject> CreateFileSystemObject();

}  // namespace platform::fso
