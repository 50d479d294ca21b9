#include "spreadsheet/xls/CompoundFile.h"

#include <gsf/gsf.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string_view>

#include "files/IoError.h"
#include "files/RegularFile.h"
#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/xls/GLibLogCapture.h"

namespace kvd507::spreadsheet::xls {
namespace {

struct GObjectUnref {
  void operator()(void* object) const { g_object_unref(object); }
};
using Input = std::unique_ptr<GsfInput, GObjectUnref>;
using Infile = std::unique_ptr<GsfInfile, GObjectUnref>;

// The names of a compound file's streams are compared without regard to case.
bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (g_ascii_tolower(a[i]) != g_ascii_tolower(b[i])) return false;
  }
  return true;
}

bool hasChild(GsfInfile* root, std::string_view name) {
  const int count = gsf_infile_num_children(root);
  for (int i = 0; i < count; ++i) {
    const char* child = gsf_infile_name_by_index(root, i);
    if (child != nullptr && sameName(child, name)) return true;
  }
  return false;
}

Input child(GsfInfile* root, std::string_view name) {
  const int count = gsf_infile_num_children(root);
  for (int i = 0; i < count; ++i) {
    const char* childName = gsf_infile_name_by_index(root, i);
    if (childName != nullptr && sameName(childName, name)) {
      return Input(gsf_infile_child_by_index(root, i));
    }
  }
  return nullptr;
}

std::string errorText(GError* error) {
  std::string text = error != nullptr && error->message != nullptr ? error->message : "";
  if (error != nullptr) g_error_free(error);
  return text;
}

std::string readAll(const std::string& fileName, GsfInput* stream) {
  const gsf_off_t size = gsf_input_size(stream);
  if (size < 0) {
    throw WorkbookError(ErrorKind::kWorkbookDamaged, {fileName},
                        "the workbook stream cannot be read");
  }
  if (static_cast<std::size_t>(size) > kMaxWorkbookStream) {
    throw WorkbookError(ErrorKind::kWorkbookTooLarge, {fileName},
                        "the workbook stream is too large", kMaxWorkbookStream);
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::size_t chunk = std::min<std::size_t>(bytes.size() - done, 1 << 20);
    auto* into = reinterpret_cast<guint8*>(bytes.data() + done);
    if (gsf_input_read(stream, chunk, into) == nullptr) {
      throw WorkbookError(ErrorKind::kWorkbookDamaged, {fileName},
                          "the file is damaged: the workbook stream cannot be read");
    }
    done += chunk;
  }
  return bytes;
}

// The file as a libgsf input, opened through the files layer so that only a regular file is
// ever handed to it.
Input openInput(const std::filesystem::path& file) {
  try {
    files::RegularFile regular(file);
    FILE* stream = ::fdopen(regular.descriptor(), "rb");
    if (stream == nullptr) {
      throw files::IoError("open", std::error_code(errno, std::generic_category()), file);
    }
    regular.release();  // the stream owns it now
    Input input(gsf_input_stdio_new_FILE(file.c_str(), stream, FALSE));
    if (!input) {
      std::fclose(stream);
      throw WorkbookError(ErrorKind::kFileSystem, {file.string()},
                          "the file cannot be opened for reading");
    }
    return input;
  } catch (const files::IoError& e) {
    throw WorkbookError(e);
  }
}

std::string readStream(const std::filesystem::path& file) {
  static std::once_flag initialised;
  std::call_once(initialised, [] { gsf_init(); });
  const std::string fileName = file.string();

  GError* error = nullptr;
  Input input = openInput(file);
  Infile root(gsf_infile_msole_new(input.get(), &error));
  if (!root) {
    throw WorkbookError(
        ErrorKind::kWorkbookDamaged, {fileName},
        "the file is damaged: not a readable compound file (" + errorText(error) + ")");
  }
  if (Input stream = child(root.get(), "Workbook")) return readAll(fileName, stream.get());
  if (hasChild(root.get(), "Book")) {
    throw WorkbookError(
        ErrorKind::kWorkbookFormatTooOld, {fileName},
        "Excel 5.0/95 workbooks are not supported, save as .xls (97-2003) or .xlsx");
  }
  if (hasChild(root.get(), "EncryptionInfo") || hasChild(root.get(), "EncryptedPackage")) {
    throw WorkbookError(ErrorKind::kWorkbookEncrypted, {fileName},
                        "the workbook is encrypted (password-protected)");
  }
  throw WorkbookError(ErrorKind::kNotAWorkbook, {fileName},
                      "the file holds no workbook (a compound file without a Workbook "
                      "stream)");
}

}  // namespace

std::string readWorkbookStream(const std::filesystem::path& file) {
  // libgsf reports much of the damage it meets as warnings, printed where nobody looks for
  // them; they go into the error instead, or nowhere when the stream could be read all the same.
  GLibLogCapture log;
  try {
    return readStream(file);
  } catch (WorkbookError& e) {
    if (!log.messages().empty()) e.setDetail(e.detail() + " (" + log.joined() + ")");
    throw;
  }
}

}  // namespace kvd507::spreadsheet::xls
