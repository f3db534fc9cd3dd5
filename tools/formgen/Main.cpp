// formgen --form <file.form> --classes <map> --support <header> --header <out.h> --source <out.cpp>
//
// Writes the code of one form (see README.md). A problem in the form or the
// map is told as "file:line: what" and nothing is written.
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

#include "FormCode.h"
#include "FormFile.h"

namespace {

std::string FileName(const std::string& path) {
  const std::size_t sep = path.find_last_of("/\\");
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw formgen::Error(path + ": cannot be read");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) throw formgen::Error(path + ": cannot be written");
}

int Usage() {
  std::cerr << "usage: formgen --form <file.form> --classes <map> --support <header> --header <out.h> "
               "--source <out.cpp>\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::map<std::string, std::string> args;
  for (int i = 1; i < argc; i += 2) {
    if (i + 1 >= argc || std::strncmp(argv[i], "--", 2) != 0) return Usage();
    args[argv[i] + 2] = argv[i + 1];
  }
  for (const char* needed : {"form", "classes", "support", "header", "source"})
    if (!args.count(needed)) return Usage();
  if (args.size() != 5) return Usage();

  try {
    const std::string& formPath = args["form"];
    const std::string& mapPath = args["classes"];
    const formgen::Form form = formgen::ReadForm(ReadFile(formPath), FileName(formPath));
    const formgen::ClassMap classes = formgen::ReadClassMap(ReadFile(mapPath), FileName(mapPath));
    const formgen::FormCode code = formgen::WriteFormCode(
        form, classes, {FileName(formPath), FileName(mapPath), FileName(args["header"]), args["support"]});
    WriteFile(args["header"], code.Header);
    WriteFile(args["source"], code.Source);
  } catch (const std::exception& e) {
    std::cerr << "formgen: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
