// The reference the tree's whole-process benchmark compares "qrl tree" with: an XML file read
// with pugixml's load_file and written back to standard output, as "qrl tree" reads a report
// and writes it back.
#include <pugixml.hpp>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE.xml\n", argv[0]);
        return 2;
    }
    pugi::xml_document doc;
    const pugi::xml_parse_result result = doc.load_file(argv[1]);
    if (!result) {
        std::fprintf(stderr, "%s: %s\n", argv[1], result.description());
        return 1;
    }
    pugi::xml_writer_file out(stdout);
    doc.save(out, "\t", pugi::format_raw);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
