#include "tools/orvane-toc/toc_cli.h"

#include <charconv>
#include <filesystem>

#include "loading/toc_writer.h"
#include "tools/orvane-toc/file_io.h"
#include "tools/orvane-toc/library_description.h"
#include "tools/orvane-toc/outline_source.h"
#include "tools/orvane-toc/toc_check.h"
#include "tools/orvane-toc/toc_dump.h"

namespace orvane::toc_tool {
namespace {

constexpr const char* kUsage =
    "usage: orvane-toc build OUTLINE.txt BOOK.TOC [--leading GROUPS] [--terminate]\n"
    "       orvane-toc dump BOOK.TOC\n"
    "       orvane-toc check BOOK.TOC\n"
    "       orvane-toc library LIBRARY.txt OUTDIR [--directory PATH]\n"
    "       orvane-toc text OUTLINE.txt OUTLINE.TXT\n";

int Usage(std::ostream& err, const std::string& why) {
  err << "orvane-toc: " << why << '\n' << kUsage;
  return kExitUsage;
}

std::filesystem::path PathArg(const std::string& arg) {
  return std::filesystem::path(std::u8string(arg.begin(), arg.end()));
}

int Build(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() < 3) return Usage(err, "build needs an outline and a TOC file");
  TocWriteOptions options;
  for (size_t i = 3; i < args.size(); ++i) {
    if (args[i] == "--terminate") {
      options.terminate = true;
    } else if (args[i] == "--leading" && i + 1 < args.size()) {
      const std::string& number = args[++i];
      uint32_t groups = 0;
      auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), groups);
      if (number.empty() || ec != std::errc() || ptr != number.data() + number.size()) {
        return Usage(err, "--leading wants a number of groups, not \"" + number + "\"");
      }
      options.leadingGroups = groups;
    } else {
      return Usage(err, "unknown option \"" + args[i] + "\"");
    }
  }
  std::string text;
  if (!ReadFileText(PathArg(args[1]), text)) {
    err << "orvane-toc: cannot read " << args[1] << '\n';
    return kExitFailed;
  }
  std::vector<TocSection> sections;
  SourceError error;
  if (!ParseOutline(text, sections, error)) {
    err << args[1] << ':' << error.line << ": " << error.message << '\n';
    return kExitFailed;
  }
  std::vector<uint8_t> bytes;
  std::string message;
  if (!WriteToc(sections, options, bytes, message)) {
    err << args[1] << ": " << message << '\n';
    return kExitFailed;
  }
  const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (!WriteFileBytes(PathArg(args[2]), view)) {
    err << "orvane-toc: cannot write " << args[2] << '\n';
    return kExitFailed;
  }
  out << "wrote " << args[2] << " (" << bytes.size() << " bytes, " << CountTocGroups(sections)
      << " sibling groups)\n";
  return kExitOk;
}

int ReadToc(const std::string& path, std::vector<uint8_t>& bytes, std::ostream& err) {
  if (!ReadFileBytes(PathArg(path), bytes)) {
    err << "orvane-toc: cannot read " << path << '\n';
    return kExitFailed;
  }
  if (bytes.size() > 0x7FFFFFFF) {
    err << "orvane-toc: " << path << " is larger than a TOC file can be\n";
    return kExitFailed;
  }
  return kExitOk;
}

int Dump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) return Usage(err, "dump needs one TOC file");
  std::vector<uint8_t> bytes;
  if (int status = ReadToc(args[1], bytes, err)) return status;
  return DumpToc(bytes, out) ? kExitOk : kExitFailed;
}

int Check(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) return Usage(err, "check needs one TOC file");
  std::vector<uint8_t> bytes;
  if (int status = ReadToc(args[1], bytes, err)) return status;
  const std::vector<TocProblem> problems = CheckToc(bytes);
  for (const TocProblem& problem : problems)
    out << "offset " << problem.offset << ": " << problem.message << '\n';
  if (problems.empty()) out << args[1] << ": sound\n";
  return problems.empty() ? kExitOk : kExitFailed;
}

int Library(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 3 && !(args.size() == 5 && args[3] == "--directory")) {
    return Usage(err, "library needs a description and an output folder");
  }
  std::string error;
  if (!BuildLibrary(PathArg(args[1]), PathArg(args[2]), args.size() == 5 ? args[4] : "", out,
                    error)) {
    err << error << '\n';
    return kExitFailed;
  }
  return kExitOk;
}

int Text(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 3) return Usage(err, "text needs a UTF-8 outline and an output file");
  std::string text;
  if (!ReadFileText(PathArg(args[1]), text)) {
    err << "orvane-toc: cannot read " << args[1] << '\n';
    return kExitFailed;
  }
  std::string converted;
  SourceError error;
  if (!ConvertTextOutline(text, converted, error)) {
    err << args[1] << ':' << error.line << ": " << error.message << '\n';
    return kExitFailed;
  }
  if (!WriteFileBytes(PathArg(args[2]), converted)) {
    err << "orvane-toc: cannot write " << args[2] << '\n';
    return kExitFailed;
  }
  out << "wrote " << args[2] << " (" << converted.size() << " bytes)\n";
  return kExitOk;
}

}  // namespace

int RunOrvaneToc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return Usage(err, "no command");
  const std::string& form = args[0];
  if (form == "build") return Build(args, out, err);
  if (form == "dump") return Dump(args, out, err);
  if (form == "check") return Check(args, out, err);
  if (form == "library") return Library(args, out, err);
  if (form == "text") return Text(args, out, err);
  return Usage(err, "unknown command \"" + form + "\"");
}

}  // namespace orvane::toc_tool
