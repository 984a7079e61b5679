// Persisted properties from arbitrary text, loaded into the real control
// under Wine: the properties file a container keeps (the text format of
// docs/testcon.md) goes through the container's parser and property bag
// into ORVANE.OCX's IPersistPropertyBag::Load, as when a host opens a form
// someone else saved or edited by hand.
//
// libFuzzer has no mingw-w64 build, so this program makes its own inputs: it
// starts from the control's own saved properties and the corpus given, and
// mutates them a line or a byte at a time with values chosen to sit on the
// edges of each property's type. There is no coverage feedback; the format
// is a flat list of names and values, whose interesting cases the
// dictionary names.
//
// Every input must leave the control working:
//  - loading never crashes; a refused load changes nothing;
//  - every property can be read afterwards;
//  - what the control saves loads again and saves the same text (saving is
//    a fixed point, so nothing is lost or bent on a second round), checked
//    every `--round-trip-every`th input (every one by default);
//  - every `--paint-every`th input, the control is activated with those
//    properties, loads a library, navigates and paints.
// A failure or a crash writes the input to ARTIFACTS/crash-*.props (or
// invariant-*.props) and exits with 1.
//
//   property_text_fuzz.exe [--runs N] [--seconds S] [--seed N]
//                          [--paint-every N] [--round-trip-every N]
//                          [--toc-folder DIR] [--artifacts DIR] [CORPUS_DIR]
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "control/framework/com_base.h"
#include "hosts/testcon/hosted_control.h"
#include "hosts/testcon/property_store.h"
#include "hosts/testcon/text_io.h"
#include "hosts/testcon/text_property_bag.h"
#include "orvane_h.h"

namespace {

using orvane::ComPtr;
using testcon::PropertyStore;
using testcon::TextPropertyBag;

// ---- The input being run, for the crash handler ----

std::string g_current;
std::wstring g_artifacts = L".";

std::wstring ArtifactPath(const wchar_t* kind, const std::string& input) {
  uint32_t hash = 2166136261u;
  for (unsigned char c : input) hash = (hash ^ c) * 16777619u;
  wchar_t name[64];
  wsprintfW(name, L"\\%s-%08x.props", kind, hash);
  return g_artifacts + name;
}

void WriteArtifact(const wchar_t* kind, const std::string& input) {
  std::wstring path = ArtifactPath(kind, input);
  testcon::WriteFileBytes(path, input);
  fprintf(stderr, "input written to %ls\n", path.c_str());
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
  fprintf(stderr, "CRASH: exception 0x%08lx at %p\n", info->ExceptionRecord->ExceptionCode,
          info->ExceptionRecord->ExceptionAddress);
  WriteArtifact(L"crash", g_current);
  fflush(stderr);
  ExitProcess(1);
}

// ---- The control ----

std::wstring ExeFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L"\\/"));
}

// The module beside the program, registered so that a container can make
// the control by its class.
ComPtr<IClassFactory> ControlFactory() {
  HMODULE module = LoadLibraryW((ExeFolder() + L"\\ORVANE.OCX").c_str());
  if (!module) return {};
  using RegisterServer = HRESULT(STDAPICALLTYPE*)();
  auto registerServer = reinterpret_cast<RegisterServer>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
  if (!registerServer || FAILED(registerServer())) return {};
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto get = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  ComPtr<IClassFactory> factory;
  if (get) get(CLSID_Orvane, IID_IClassFactory, reinterpret_cast<void**>(factory.Receive()));
  return factory;
}

// A font reads back its size as the system realised it, in whole pixels:
// under Wine 400 points come back as 400.5, and those as 399.75. So a size
// may move by up to a pixel (0.75 point at 96 dpi) each round; that is the
// system's font object, not the control.
bool SameFontSize(const std::string& a, const std::string& b) {
  size_t ea = a.find(".Size="), eb = b.find(".Size=");
  if (ea == std::string::npos || ea != eb || a.compare(0, ea, b, 0, eb) != 0) return false;
  double x = atof(a.c_str() + ea + 6), y = atof(b.c_str() + eb + 6);
  return x - y <= 0.76 && y - x <= 0.76;
}

// The lines of `a` and `b` that differ, side by side (long values cut).
std::string DifferingLines(const std::string& a, const std::string& b) {
  std::string out;
  size_t i = 0, j = 0;
  while (i < a.size() || j < b.size()) {
    size_t ei = a.find('\n', i), ej = b.find('\n', j);
    if (ei == std::string::npos) ei = a.size();
    if (ej == std::string::npos) ej = b.size();
    std::string la = a.substr(i, ei - i), lb = b.substr(j, ej - j);
    if (la != lb && !SameFontSize(la, lb))
      out += "  " + la.substr(0, 80) + "  |  " + lb.substr(0, 80) + "\n";
    i = ei + 1;
    j = ej + 1;
  }
  return out;
}

class Target {
 public:
  explicit Target(ComPtr<IClassFactory> factory) : m_factory(std::move(factory)) {}

  ComPtr<IPersistPropertyBag> NewControl() {
    ComPtr<IPersistPropertyBag> control;
    m_factory->CreateInstance(nullptr, IID_IPersistPropertyBag,
                              reinterpret_cast<void**>(control.Receive()));
    return control;
  }

  static HRESULT Load(IPersistPropertyBag* control, const PropertyStore& store) {
    auto shared = std::make_shared<PropertyStore>(store);
    auto bag = ComPtr<IPropertyBag>::Adopt(new TextPropertyBag(shared, L""));
    return control->Load(bag.Get(), nullptr);
  }

  static bool Save(IPersistPropertyBag* control, std::string& text) {
    auto store = std::make_shared<PropertyStore>();
    auto bag = ComPtr<IPropertyBag>::Adopt(new TextPropertyBag(store, L""));
    if (FAILED(control->Save(bag.Get(), FALSE, TRUE))) return false;
    text = store->Serialize();
    return true;
  }

  // What a control saves after InitNew, or when nothing was loaded at all.
  std::string SavedText(bool initNew) {
    ComPtr<IPersistPropertyBag> control = NewControl();
    std::string text;
    if (control && (!initNew || SUCCEEDED(control->InitNew()))) Save(control.Get(), text);
    return text;
  }

  // An empty answer when every check held, else what broke.
  std::string Run(const std::string& input, bool paint, bool roundTrip) {
    size_t badLine = 0;
    std::optional<PropertyStore> store = PropertyStore::Parse(input, &badLine);
    if (!store) return {};  // the container refuses the file; the control never sees it
    ++m_reachedControl;

    ComPtr<IPersistPropertyBag> control = NewControl();
    if (!control) return "the control could not be made";
    HRESULT hr = Load(control.Get(), *store);
    if (FAILED(hr)) ++m_refused;
    if (std::string broken = CheckReadable(control.Get()); !broken.empty()) return broken;

    std::string first, second;
    if (!Save(control.Get(), first)) return "saving after the load failed";
    if (FAILED(hr) && first != m_unloaded) return "a refused load changed the properties";
    if (paint) {
      if (std::string broken = Paint(*store); !broken.empty()) return broken;
    }
    if (!roundTrip) return {};
    ComPtr<IPersistPropertyBag> again = NewControl();
    std::optional<PropertyStore> saved = PropertyStore::Parse(first, &badLine);
    if (!saved) return "the control saved text the container cannot read";
    if (FAILED(Load(again.Get(), *saved))) return "the control refused what it saved";
    if (!Save(again.Get(), second)) return "saving the second time failed";
    std::string differing = DifferingLines(first, second);
    if (!differing.empty())
      return "saving, loading and saving again changed the text:\n" + differing;
    return {};
  }

  uint64_t ReachedControl() const { return m_reachedControl; }
  uint64_t Refused() const { return m_refused; }
  void SetUnloaded(std::string text) { m_unloaded = std::move(text); }
  void SetLibrary(std::wstring topic) { m_topic = std::move(topic); }

 private:
  static std::string CheckReadable(IPersistPropertyBag* control) {
    ComPtr<IDispatch> dispatch;
    control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.Receive()));
    if (!dispatch) return "no dispatch interface";
    for (DISPID id : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, -501, -513, -504, -512}) {
      DISPPARAMS none{};
      VARIANT result;
      VariantInit(&result);
      HRESULT hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                    &result, nullptr, nullptr);
      VariantClear(&result);
      if (FAILED(hr)) return "property " + std::to_string(id) + " cannot be read after the load";
    }
    return {};
  }

  // The control made by a container from these properties, in place in a
  // window: it loads a library, opens the way to a section and paints.
  std::string Paint(const PropertyStore& store) {
    if (!m_window) {
      m_window = CreateWindowExW(0, L"STATIC", L"fuzz", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 340,
                                 260, nullptr, nullptr, nullptr, nullptr);
    }
    testcon::HostedControl hosted(m_window, SIZE{320, 240}, CLSID_Orvane);
    std::wstring error;
    if (FAILED(hosted.Create(&store, error))) return {};  // a load the control refused
    ComPtr<IOrvaneAutomation> automation;
    hosted.Object()->QueryInterface(DIID__DOrvane, reinterpret_cast<void**>(automation.Receive()));
    if (!automation) return "the control lacks its automation interface";
    BSTR topic = SysAllocString(m_topic.c_str());
    VARIANT_BOOL done = VARIANT_FALSE;
    automation->LoadBooks(topic, &done);
    SysFreeString(topic);
    automation->GotoTocPosition(1, 143, &done);
    if (HWND list = hosted.Window()) {
      RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    hosted.Destroy();
    return {};
  }

  ComPtr<IClassFactory> m_factory;
  std::string m_unloaded;
  std::wstring m_topic;
  HWND m_window = nullptr;
  uint64_t m_reachedControl = 0;
  uint64_t m_refused = 0;
};

// ---- Making inputs ----

const char* const kValues[] = {"0",
                               "-1",
                               "1",
                               "2",
                               "3",
                               "255",
                               "256",
                               "32767",
                               "32768",
                               "-32768",
                               "-32769",
                               "65535",
                               "65536",
                               "65538",
                               "2147483647",
                               "2147483648",
                               "-2147483648",
                               "-2147483649",
                               "4294967295",
                               "99999999999999999999999",
                               "1e308",
                               "-1e308",
                               "1e-308",
                               "NaN",
                               "Infinity",
                               "1.5",
                               "-0",
                               "0x10",
                               "&H80000005",
                               "&HFFFFFFFF",
                               "True",
                               "False",
                               "true",
                               "yes",
                               "",
                               " ",
                               " 5",
                               "5 ",
                               "+5",
                               "%",
                               "%0",
                               "%ZZ",
                               "%00",
                               "%0D%0A",
                               "%25",
                               "object:",
                               "object:{",
                               "object:{}",
                               "object:{0BE35203-8F91-11CE-9DE3-00AA004BB851}",
                               "object:{00000000-0000-0000-0000-000000000000}",
                               "object:{not a guid}",
                               "object:0BE35203-8F91-11CE-9DE3-00AA004BB851",
                               "C:\\no\\such\\folder",
                               "\\\\?\\C:\\",
                               "..\\..\\..\\..",
                               "CON",
                               "NUL:",
                               "<>|*?",
                               "\xD8\xA7\xD9\x84\xD9\x81\xD9\x82\xD9\x87",  // Arabic, UTF-8
                               "\xD9\xA3",  // ARABIC-INDIC DIGIT THREE
                               "\xC3\x28",
                               "\xFF\xFE",
                               "\xED\xA0\x80",  // malformed UTF-8 and a surrogate
                               "-2147483648.5",
                               "3.4e38",
                               "12/31/1999",
                               "#FF0000",
                               "0,5",
                               "1e5"};

const char* const kExtraNames[] = {
    "Font",     "FontA", "Fonta",       "ShowBalloonHelp", "TopicName", "_ExtentX", "_ExtentY",
    "_Version", ".Name", "FontA.FontA", "FontA.Size.Name", "=",         "#x",       "\xD8\xA7"};

class Mutator {
 public:
  Mutator(uint32_t seed, std::vector<std::string> names)
      : m_random(seed), m_names(std::move(names)) {
    for (const char* name : kExtraNames) m_names.emplace_back(name);
  }

  std::string Mutate(const std::vector<std::string>& corpus) {
    std::string text = corpus[Pick(corpus.size())];
    int steps = 1 + static_cast<int>(Pick(4));
    for (int i = 0; i < steps; ++i) text = Step(text, corpus);
    return text;
  }

 private:
  size_t Pick(size_t n) {
    return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(m_random);
  }

  std::string Value() {
    if (Pick(8) == 0) {  // a long one
      std::string long_(Pick(2) ? 300 : 70000, Pick(2) ? 'x' : '9');
      return long_;
    }
    return kValues[Pick(std::size(kValues))];
  }
  std::string Name() {
    std::string name = m_names[Pick(m_names.size())];
    if (Pick(6) == 0) {
      const char* fields[] = {".Name",   ".Size",      ".Charset",       ".Weight",
                              ".Italic", ".Underline", ".Strikethrough", ".Bold"};
      name += fields[Pick(std::size(fields))];
    }
    if (Pick(10) == 0)
      for (char& c : name) c = static_cast<char>(Pick(2) ? toupper(c) : tolower(c));
    return name;
  }

  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      lines.push_back(text.substr(start, end - start));
      start = end + 1;
    }
    return lines;
  }
  static std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\n" : "") + lines[i];
    return text;
  }

  std::string Step(const std::string& text, const std::vector<std::string>& corpus) {
    std::vector<std::string> lines = Lines(text);
    size_t at = Pick(lines.size());
    switch (Pick(10)) {
      case 0:
      case 1: {  // a new value for a line
        size_t equals = lines[at].find('=');
        if (equals != std::string::npos) lines[at] = lines[at].substr(0, equals + 1) + Value();
        break;
      }
      case 2: {  // a new name for a line
        size_t equals = lines[at].find('=');
        if (equals != std::string::npos) lines[at] = Name() + lines[at].substr(equals);
        break;
      }
      case 3:  // a new line
        lines.insert(lines.begin() + static_cast<long>(at), Name() + "=" + Value());
        break;
      case 4:  // a line less
        if (lines.size() > 1) lines.erase(lines.begin() + static_cast<long>(at));
        break;
      case 5: {  // a line twice, or two lines swapped
        if (Pick(2)) {
          lines.insert(lines.begin() + static_cast<long>(at), lines[at]);
        } else {
          std::swap(lines[at], lines[Pick(lines.size())]);
        }
        break;
      }
      case 6: {  // a line from another input
        std::vector<std::string> other = Lines(corpus[Pick(corpus.size())]);
        lines.insert(lines.begin() + static_cast<long>(at), other[Pick(other.size())]);
        break;
      }
      default: {  // bytes: flipped, inserted or erased
        std::string bytes = Join(lines);
        size_t pos = Pick(bytes.size() + 1);
        switch (Pick(3)) {
          case 0:
            if (pos < bytes.size()) bytes[pos] = static_cast<char>(bytes[pos] ^ (1 << Pick(8)));
            break;
          case 1:
            bytes.insert(pos, 1, static_cast<char>(Pick(256)));
            break;
          default:
            bytes.erase(pos, Pick(8));
            break;
        }
        return bytes;
      }
    }
    return Join(lines);
  }

  std::mt19937 m_random;
  std::vector<std::string> m_names;
};

std::vector<std::string> NamesOf(const std::string& saved) {
  std::vector<std::string> names;
  size_t badLine = 0;
  if (auto store = PropertyStore::Parse(saved, &badLine)) {
    for (const auto& entry : store->Entries()) names.push_back(testcon::Utf8FromWide(entry.name));
  }
  return names;
}

std::vector<std::string> ReadCorpus(const std::wstring& folder) {
  std::vector<std::string> inputs;
  if (folder.empty()) return inputs;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return inputs;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (auto bytes = testcon::ReadFileBytes(folder + L"\\" + found.cFileName))
      inputs.push_back(std::move(*bytes));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return inputs;
}

// A catalogue of one book in the temporary folder, for the painting runs.
std::wstring WriteLibrary(const std::wstring& tocFolder) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  std::wstring topic = std::wstring(temp) + L"property_fuzz";
  std::string text = "[Directories]\r\nTOC=" + testcon::Utf8FromWide(tocFolder) +
                     "\r\n[Books]\r\nCount=1\r\n[Categories]\r\nCount=1\r\nName1=Grammar\r\n"
                     "[Category1]\r\nCount=1\r\nTitle1=Nahw\r\nName1=NAHW\r\n";
  testcon::WriteFileBytes(topic + L".INI", text);
  return topic;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  uint64_t runs = UINT64_MAX;
  double seconds = 60;
  uint32_t seed = static_cast<uint32_t>(GetTickCount());
  uint64_t paintEvery = 1000;
  uint64_t roundTripEvery = 1;
  std::wstring corpusFolder, tocFolder;
  for (int i = 1; i < argc; ++i) {
    std::wstring arg = argv[i];
    auto next = [&]() -> std::wstring { return i + 1 < argc ? argv[++i] : L""; };
    if (arg == L"--runs")
      runs = _wtoi64(next().c_str());
    else if (arg == L"--seconds")
      seconds = _wtof(next().c_str());
    else if (arg == L"--seed")
      seed = static_cast<uint32_t>(_wtoi64(next().c_str()));
    else if (arg == L"--paint-every")
      paintEvery = _wtoi64(next().c_str());
    else if (arg == L"--round-trip-every")
      roundTripEvery = _wtoi64(next().c_str());
    else if (arg == L"--artifacts")
      g_artifacts = next();
    else if (arg == L"--toc-folder")
      tocFolder = next();
    else
      corpusFolder = arg;
  }
  if (FAILED(OleInitialize(nullptr))) return 2;
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(&OnCrash);

  ComPtr<IClassFactory> factory = ControlFactory();
  if (!factory) {
    fprintf(stderr, "property_text_fuzz: ORVANE.OCX could not be loaded beside the program\n");
    return 2;
  }
  Target target(factory);
  std::string defaults = target.SavedText(true);
  if (defaults.empty()) {
    fprintf(stderr, "property_text_fuzz: a new control saved nothing\n");
    return 2;
  }
  target.SetUnloaded(target.SavedText(false));
  if (!tocFolder.empty()) target.SetLibrary(WriteLibrary(tocFolder));
  if (tocFolder.empty()) paintEvery = 0;

  std::vector<std::string> corpus = ReadCorpus(corpusFolder);
  corpus.push_back(defaults);
  Mutator mutator(seed, NamesOf(defaults));

  auto start = std::chrono::steady_clock::now();
  double nextReport = 60;
  uint64_t done = 0;
  for (; done < runs; ++done) {
    if ((done & 63) == 0) {
      double spent =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      if (spent >= seconds) break;
      // A line a minute, so that a long campaign can be followed.
      if (spent >= nextReport) {
        printf("#%llu executions in %.0f s\n", static_cast<unsigned long long>(done), spent);
        fflush(stdout);
        nextReport += 60;
      }
    }
    // The corpus itself first, then mutations of it.
    g_current = done < corpus.size() ? corpus[done] : mutator.Mutate(corpus);
    bool paint = paintEvery != 0 && done % paintEvery == 0;
    bool roundTrip = roundTripEvery != 0 && done % roundTripEvery == 0;
    std::string broken = target.Run(g_current, paint, roundTrip);
    if (!broken.empty()) {
      fprintf(stderr, "INVARIANT BROKEN after %llu inputs: %s\n",
              static_cast<unsigned long long>(done), broken.c_str());
      WriteArtifact(L"invariant", g_current);
      return 1;
    }
  }
  double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  printf(
      "property_text_fuzz: %llu executions in %.0f s (%.0f/s), %llu reached the control, "
      "%llu loads refused, seed %u, corpus %zu\n",
      static_cast<unsigned long long>(done), elapsed, done / (elapsed > 0 ? elapsed : 1),
      static_cast<unsigned long long>(target.ReachedControl()),
      static_cast<unsigned long long>(target.Refused()), seed, corpus.size());
  OleUninitialize();
  return 0;
}
