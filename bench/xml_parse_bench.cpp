// Parse throughput of the XML reader, for the settings document and for a synthetic
// document of about 1 MB. Each figure is compared with references measured in the same
// run on the same bytes: a plain byte scan (strlen + memchr) and a tokenize-only pass,
// so the ratios stay meaningful across machines and build types. Prints, never asserts.
//   xml_parse_bench [settings.xml]
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "config/tokenizer.h"
#include "config/xml_document.h"

namespace {

using Clock = std::chrono::steady_clock;

// Used when no settings document is at hand; shaped like the shipped one.
const char kBuiltInSettings[] = R"(<?xml version="1.0" encoding="utf-8"?>
<installer>
  <product demo-version="false">
    <name>Demo Product 1.0</name>
    <shortname>Demo</shortname>
    <identifier>demo-product</identifier>
    <guid pelaxo5-e-guid="" pelaxo5-h-guid="">01234567-89AB-CDEF-0123-456789ABCDEF</guid>
  </product>
  <bootstrapper external-msi="false" preconfig-setup="true" min-os-version="51">
    <languages>
      <language app-parameter="de" help-file="help_de.chm" circuit-dir="Schaltungen">de-de</language>
      <language app-parameter="en" help-file="help_en.chm" circuit-dir="Circuits">en-us</language>
    </languages>
    <application-dir-relative>bin</application-dir-relative>
    <start-application-on-stick>Demo.exe</start-application-on-stick>
    <link-installation-only>
      <bin-dir>bin</bin-dir>
      <program-dir>Demo</program-dir>
      <regentry-installdir subkey="Software\Demo" value-name="InstallDir"/>
      <regentry-icon subkey="DemoFile\DefaultIcon"/>
      <regentry-open subkey="DemoFile\shell\open\command"/>
    </link-installation-only>
  </bootstrapper>
  <dot-net20-framework>
    <resource>
      <Bit64 source-file="NetFx20SP2_x64.exe" id="DOTNET20_64"/>
      <Bit32 source-file="NetFx20SP2_x86.exe" id="DOTNET20_32"/>
    </resource>
  </dot-net20-framework>
  <msi admin-required="true" ask-for-videos="false" videos-size="350 MB">
    <package language="de-de">
      <defines>
        <define var-name="MainExeDir" value="[INSTALLDIR]bin"/>
        <define var-name="ShortcutNameApp" value="Demo &amp; Co"/>
      </defines>
    </package>
    <output file="demo.msi" resource-id="MSI" main-package="de-de"/>
  </msi>
  <thumbex/>
  <update url="http://example.invalid/update" target="Demo.exe"/>
</installer>
)";

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string synthesizeDocument(std::size_t targetBytes) {
    std::string text = "<?xml version=\"1.0\"?>\n<installer>\n";
    for (int i = 0; text.size() < targetBytes; ++i) {
        const std::string n = std::to_string(i);
        text += "  <package language=\"de-de\" id=\"p" + n + "\">\n    <defines>\n";
        text += "      <define var-name=\"MainExeDir" + n + "\" value=\"[INSTALLDIR]bin\\" + n + "\"/>\n";
        text += "      <define var-name=\"ShortcutName" + n + "\" value=\"Demo &amp; Co &quot;" + n + "&quot;\"/>\n";
        text += "    </defines>\n    <!-- package " + n + " -->\n";
        text += "    <name>Product &lt;" + n + "&gt; with some descriptive text</name>\n  </package>\n";
    }
    return text + "</installer>\n";
}

volatile std::size_t g_sink;  // keeps the measured work from being optimised away

std::size_t scanOnce(const std::string& text) {
    const std::size_t length = std::strlen(text.c_str());
    std::size_t tags = 0;
    const char* p = text.c_str();
    const char* end = p + length;
    while ((p = static_cast<const char*>(std::memchr(p, '<', static_cast<std::size_t>(end - p)))) != nullptr) {
        ++tags;
        ++p;
    }
    return length + tags;
}

std::size_t tokenizeOnce(const std::string& text) {
    Tokenizer tokens(" \t\n\f\r", "&';</>=\"", 100000);
    tokens.addString(text.c_str());
    std::size_t count = 0;
    while (tokens.nextToken()) ++count;
    return count;
}

std::size_t parseOnce(const std::string& text) {
    XmlDocument document;
    std::string error;
    const int result = document.parse(text.c_str(), error);
    if (result != 0) std::fprintf(stderr, "parse failed: %s\n", error.c_str());
    return document.root().children.size();
}

// Best throughput in MB/s over repeated runs lasting about minSeconds in total.
template <typename F>
double measure(const std::string& text, F once, double minSeconds) {
    double best = 1e30;
    double total = 0;
    int runs = 0;
    while (total < minSeconds || runs < 5) {
        const auto start = Clock::now();
        g_sink = g_sink + once(text);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (seconds < best) best = seconds;
        total += seconds;
        ++runs;
    }
    return static_cast<double>(text.size()) / (1024.0 * 1024.0) / best;
}

void report(const char* label, const std::string& text) {
    const double scan = measure(text, scanOnce, 0.3);
    const double tokenize = measure(text, tokenizeOnce, 0.3);
    const double parse = measure(text, parseOnce, 0.5);
    std::printf("%s (%zu bytes)\n", label, text.size());
    std::printf("  byte scan      %10.1f MB/s\n", scan);
    std::printf("  tokenize only  %10.1f MB/s\n", tokenize);
    std::printf("  parse          %10.1f MB/s   (%.2fx tokenize time, %.1fx scan time)\n", parse, tokenize / parse,
                scan / parse);
}

}  // namespace

int main(int argc, char** argv) {
    std::string settingsPath = argc > 1 ? argv[1] : SETUP_SOURCE_DIR "/examples/demo/settings.xml";
    std::string settings = readFile(settingsPath);
    if (settings.empty()) {
        settingsPath = "built-in sample";
        settings = kBuiltInSettings;
    }
    report(("settings document: " + settingsPath).c_str(), settings);
    report("synthetic document", synthesizeDocument(1024 * 1024));
    return 0;
}
