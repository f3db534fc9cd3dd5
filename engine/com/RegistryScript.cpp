#include "com/RegistryScript.h"

#include <cwctype>

#include <kit/Own.h>

namespace tarnwick::com {

namespace {

// --- Parsing ------------------------------------------------------------------

struct Token {
  enum class Type { End, Word, Text, Open, Close, Equals } type = Type::End;
  std::wstring text;
  int line = 1;
};

class Parser {
 public:
  Parser(std::wstring_view text, const ScriptVariables& variables) : text_(text), variables_(variables) {}

  bool Run(RegistryScript* script) {
    Advance();
    while (ok_ && token_.type != Token::Type::End) {
      if (token_.type != Token::Type::Word || token_.text != L"HKCR") return Fail(L"expected HKCR");
      Advance();
      if (!Expect(Token::Type::Open, L"expected {")) break;
      ParseEntries(&script->roots, /*valuesAllowed=*/false);
      Expect(Token::Type::Close, L"expected }");
    }
    return ok_;
  }

  const std::wstring& Error() const { return error_; }

 private:
  void ParseEntries(std::vector<RegistryEntry>* entries, bool valuesAllowed) {
    while (ok_ && token_.type != Token::Type::Close && token_.type != Token::Type::End) {
      RegistryEntry entry;
      if (token_.type == Token::Type::Word && token_.text == L"value") {
        if (!valuesAllowed) {
          Fail(L"a value needs a key");
          return;
        }
        entry.kind = RegistryEntry::Kind::Value;
        Advance();
        if (!Name(&entry.name, /*emptyAllowed=*/true)) return;
        if (!Expect(Token::Type::Equals, L"expected = after a value name")) return;
        if (!Text(&entry.data)) return;
        entry.hasData = true;
        entries->push_back(std::move(entry));
        continue;
      }
      if (token_.type == Token::Type::Word && (token_.text == L"keep" || token_.text == L"fresh")) {
        entry.flag = token_.text == L"keep" ? RegistryEntry::Flag::Keep : RegistryEntry::Flag::Fresh;
        Advance();
      }
      if (!Name(&entry.name, /*emptyAllowed=*/false)) return;
      if (token_.type == Token::Type::Equals) {
        Advance();
        if (!Text(&entry.data)) return;
        entry.hasData = true;
      }
      if (token_.type == Token::Type::Open) {
        Advance();
        ParseEntries(&entry.children, /*valuesAllowed=*/true);
        if (!Expect(Token::Type::Close, L"expected }")) return;
      }
      entries->push_back(std::move(entry));
    }
  }

  bool Name(std::wstring* name, bool emptyAllowed) {
    if (token_.type != Token::Type::Text) return Fail(L"expected a quoted name");
    if (!emptyAllowed && token_.text.empty()) return Fail(L"a key name is empty");
    if (token_.text.find(L'\\') != std::wstring::npos) return Fail(L"a name holds a backslash");
    *name = token_.text;
    Advance();
    return true;
  }

  bool Text(std::wstring* text) {
    if (token_.type != Token::Type::Text) return Fail(L"expected a quoted text");
    *text = token_.text;
    Advance();
    return true;
  }

  bool Expect(Token::Type type, const wchar_t* message) {
    if (token_.type != type) return Fail(message);
    Advance();
    return true;
  }

  bool Fail(const std::wstring& message) {
    if (ok_) {
      ok_ = false;
      error_ = L"line " + std::to_wstring(token_.line) + L": " + message;
    }
    return false;
  }

  void Advance() {
    if (!ok_) return;
    SkipSpaceAndComments();
    token_ = Token{};
    token_.line = line_;
    if (pos_ >= text_.size()) return;
    wchar_t c = text_[pos_];
    switch (c) {
      case L'{': token_.type = Token::Type::Open; ++pos_; return;
      case L'}': token_.type = Token::Type::Close; ++pos_; return;
      case L'=': token_.type = Token::Type::Equals; ++pos_; return;
      case L'"': ReadText(); return;
      default: break;
    }
    if (std::iswalpha(c)) {
      size_t start = pos_;
      while (pos_ < text_.size() && std::iswalnum(text_[pos_])) ++pos_;
      token_.type = Token::Type::Word;
      token_.text.assign(text_.substr(start, pos_ - start));
      return;
    }
    Fail(std::wstring(L"unexpected character '") + c + L"'");
  }

  void SkipSpaceAndComments() {
    while (pos_ < text_.size()) {
      wchar_t c = text_[pos_];
      if (c == L'\n') {
        ++line_;
        ++pos_;
      } else if (c == L' ' || c == L'\t' || c == L'\r') {
        ++pos_;
      } else if (c == L'#') {
        while (pos_ < text_.size() && text_[pos_] != L'\n') ++pos_;
      } else {
        break;
      }
    }
  }

  void ReadText() {
    ++pos_;  // opening quote
    std::wstring out;
    while (pos_ < text_.size() && text_[pos_] != L'"') {
      wchar_t c = text_[pos_];
      if (c == L'\n' || c == L'\r') {
        Fail(L"a text runs past the end of its line");
        return;
      }
      if (c == L'%') {
        size_t close = text_.find(L'%', pos_ + 1);
        size_t lineEnd = text_.find_first_of(L"\"\r\n", pos_ + 1);
        if (close == std::wstring_view::npos || (lineEnd != std::wstring_view::npos && close > lineEnd)) {
          Fail(L"a % has no closing %");
          return;
        }
        std::wstring name(text_.substr(pos_ + 1, close - pos_ - 1));
        auto found = variables_.find(name);
        if (found == variables_.end()) {
          Fail(L"unknown variable %" + name + L"%");
          return;
        }
        out += found->second;
        pos_ = close + 1;
        continue;
      }
      out += c;
      ++pos_;
    }
    if (pos_ >= text_.size()) {
      Fail(L"a text has no closing quote");
      return;
    }
    ++pos_;  // closing quote
    token_.type = Token::Type::Text;
    token_.text = std::move(out);
  }

  std::wstring_view text_;
  const ScriptVariables& variables_;
  size_t pos_ = 0;
  int line_ = 1;
  Token token_;
  bool ok_ = true;
  std::wstring error_;
};

// --- Applying -----------------------------------------------------------------

bool IsMissing(LSTATUS status) { return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND; }

LSTATUS SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

HRESULT Register(HKEY parent, const std::vector<RegistryEntry>& entries) {
  for (const RegistryEntry& entry : entries) {
    if (entry.kind == RegistryEntry::Kind::Value) {
      LSTATUS status = SetText(parent, entry.name.c_str(), entry.data);
      if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
      continue;
    }
    if (entry.flag == RegistryEntry::Flag::Fresh) {
      LSTATUS status = RegDeleteTreeW(parent, entry.name.c_str());
      if (status != ERROR_SUCCESS && !IsMissing(status)) return HRESULT_FROM_WIN32(status);
    }
    kit::RegKey key;
    LSTATUS status = RegCreateKeyExW(parent, entry.name.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                                     key.Out(), nullptr);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    if (entry.hasData) {
      status = SetText(key.Get(), nullptr, entry.data);
      if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    }
    const HRESULT hr = Register(key.Get(), entry.children);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT Unregister(HKEY parent, const std::vector<RegistryEntry>& entries) {
  HRESULT first = S_OK;
  auto note = [&first](LSTATUS status) {
    if (status != ERROR_SUCCESS && !IsMissing(status) && SUCCEEDED(first)) first = HRESULT_FROM_WIN32(status);
  };
  for (const RegistryEntry& entry : entries) {
    if (entry.kind == RegistryEntry::Kind::Value) {
      note(RegDeleteValueW(parent, entry.name.c_str()));
    } else if (entry.flag == RegistryEntry::Flag::Keep) {
      kit::RegKey key;
      LSTATUS status = RegOpenKeyExW(parent, entry.name.c_str(), 0, KEY_READ | KEY_WRITE, key.Out());
      note(status);
      if (status != ERROR_SUCCESS) continue;
      const HRESULT hr = Unregister(key.Get(), entry.children);
      if (FAILED(hr) && SUCCEEDED(first)) first = hr;
    } else {
      note(RegDeleteTreeW(parent, entry.name.c_str()));
    }
  }
  return first;
}

}  // namespace

bool ParseRegistryScript(std::wstring_view text, const ScriptVariables& variables, RegistryScript* script,
                         std::wstring* error) {
  RegistryScript parsed;
  Parser parser(text, variables);
  if (!parser.Run(&parsed)) {
    if (error) *error = parser.Error();
    return false;
  }
  if (script) *script = std::move(parsed);
  return true;
}

HRESULT ApplyRegistryScript(const RegistryScript& script, ScriptMode mode, HKEY classesRoot) {
  return mode == ScriptMode::Register ? Register(classesRoot, script.roots) : Unregister(classesRoot, script.roots);
}

HRESULT RunRegistryResource(HMODULE module, UINT id, const ScriptVariables& variables, ScriptMode mode,
                            HKEY classesRoot) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
  if (!found) return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
  HGLOBAL loaded = LoadResource(module, found);
  const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  DWORD size = SizeofResource(module, found);
  if (!bytes) return HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
  if (size >= 3 && memcmp(bytes, "\xEF\xBB\xBF", 3) == 0) {
    bytes += 3;
    size -= 3;
  }
  std::wstring text;
  if (size > 0) {
    int chars = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(size), nullptr, 0);
    if (chars <= 0) return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
    text.resize(chars);
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(size), text.data(), chars);
  }
  RegistryScript script;
  if (!ParseRegistryScript(text, variables, &script, nullptr)) return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
  return ApplyRegistryScript(script, mode, classesRoot);
}

}  // namespace tarnwick::com
