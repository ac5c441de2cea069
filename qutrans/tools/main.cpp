// navolis-helpgen SOURCE OUTPUT_STEM: writes OUTPUT_STEM.chm (help file) and
// OUTPUT_STEM.doc (documentation file) from one manual source.
#include "Chm.h"
#include "Html.h"
#include "Manual.h"
#include "Rtf.h"

#include <exception>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

std::string readAll(const char *path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error(std::string(path) + ": cannot be read");
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeAll(const std::string &path, const std::string &content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out.flush())
        throw std::runtime_error(path + ": cannot be written");
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::cerr << "usage: navolis-helpgen SOURCE OUTPUT_STEM\n";
        return 2;
    }
    try {
        const helpgen::Manual manual = helpgen::parseManual(readAll(argv[1]));
        if (manual.pages.empty())
            throw std::runtime_error("the manual has no pages");
        std::map<std::string, std::string> files{{"navolis.hhc", helpgen::contentsHhc(manual)}};
        for (size_t i = 0; i < manual.pages.size(); ++i)
            files[helpgen::pageFileName(i)] = helpgen::pageHtml(manual, i);
        const helpgen::ChmOptions options{manual.lcid, helpgen::windows1252(manual.title),
                                          "index.htm", "navolis.hhc"};
        writeAll(std::string(argv[2]) + ".chm", helpgen::buildChm(files, options));
        writeAll(std::string(argv[2]) + ".doc", helpgen::toRtf(manual));
    } catch (const std::exception &e) {
        std::cerr << argv[1] << ": " << e.what() << '\n';
        return 1;
    }
    return 0;
}
