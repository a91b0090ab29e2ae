#include "tests/support/test_decoder.h"

#include <filesystem>
#include <fstream>

void writeTestDecoder(const std::string& decoders, const std::string& id,
                      const std::string& decodeBody) {
    const std::filesystem::path folder = std::filesystem::path(decoders) / id;
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "__init__.py") << "from .pd import Decoder\n";
    std::ofstream(folder / "pd.py")
        << "import sigrokdecode as srd\nimport time\n\n"
           "class Decoder(srd.Decoder):\n"
           "    api_version = 3\n"
           "    id = '"
        << id
        << "'\n"
           "    name = '"
        << id
        << "'\n"
           "    longname = 'A test decoder'\n"
           "    desc = 'A decoder of the tests.'\n"
           "    license = 'gplv2+'\n"
           "    inputs = ['logic']\n"
           "    outputs = []\n"
           "    tags = ['Util']\n"
           "    channels = ({'id': 'data', 'name': 'Data', 'desc': 'Data line'},)\n"
           "    annotations = (('x', 'X'),)\n\n"
           "    def reset(self):\n        pass\n\n"
           "    def start(self):\n        pass\n\n"
           "    def decode(self):\n"
        << decodeBody;
}
