// A report site as a browser sees it: written by the -reportsite mode,
// served from a loopback HTTP server started here (127.0.0.1 only) and
// opened in headless Chromium. Every image loads (track.png at 300 x 300),
// a driver named "<b>" reads as written, and the pages are in quirks mode
// with the Windows-1252 character set. Skipped when Chromium is missing.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/command_line.h"
#include "app/ui/report_site_mode.h"
#include "interaction/batch_interaction.h"
#include "settings/settings.h"
#include "support/browser_probe.h"
#include "support/config_dir.h"
#include "support/replay_fixture.h"
#include "support/sample_simulator.h"
#include "support/session_fixture.h"

namespace {

namespace fs = std::filesystem;

// Opens each page in a frame of a probe page and writes what it found.
constexpr const char* kProbe = R"(<!DOCTYPE html><html><body>
<iframe src="index.html"></iframe><iframe src="Race.html"></iframe>
<iframe src="RaceGraphics.html"></iframe><iframe src="RaceGraphics2.html"></iframe>
<pre id="result"></pre>
<script>
window.addEventListener('load', () => {
  const out = [];
  for (const f of document.querySelectorAll('iframe')) {
    const d = f.contentDocument;
    out.push('page ' + f.getAttribute('src') + ' ' + d.compatMode + ' ' + d.characterSet);
    for (const img of d.images)
      out.push('image ' + img.getAttribute('src') + ' ' + (img.complete ? img.naturalWidth + 'x' + img.naturalHeight : 'pending'));
    if (f.getAttribute('src') === 'Race.html')
      out.push('bold ' + (d.body.innerText.indexOf('<b> Bold') >= 0) + ' ' + d.querySelectorAll('b').length);
  }
  document.getElementById('result').textContent = out.join('\n');
});
</script></body></html>)";

TEST(SiteInBrowser, ImagesLoadNamesReadAsWrittenQuirksModeWindows1252) {
    const std::string chromium = fixture::Chromium();
    if (chromium.empty()) GTEST_SKIP() << "Chromium is not installed (Debian package chromium): browser test skipped";

    fixture::ScopedConfigDir config;
    const fs::path sim = config.scratch() / "sim";
    fixture::WriteSampleSimulator(sim);
    fixture::DriverLaps a{fixture::NamedDriver("<b>", "Bold", 0, 1)}, b{fixture::NamedDriver("Jim", "Clark", 1, 2)};
    a.practice_start = b.practice_start = 1000;
    a.practice_laps = {90000};
    b.practice_laps = {91000};
    a.race_start = b.race_start = 2000;
    a.race_laps = {95000, 94000, 94500};
    b.race_laps = {96000, 95000, 95500};
    fixture::WriteFile(sim / "replay" / "bold.rpy",
                       fixture::BuildReplay(fixture::SessionReplay({a, b}, true, true, "monza")));
    Settings settings;
    settings.SetQELDirectory(sim.string());
    const fs::path out = config.scratch() / "sites";
    fs::create_directories(out);
    std::ostringstream messages, printed;
    BatchInteraction ui(&messages);
    ASSERT_EQ(RunReportSite(ParseCommandLine({"ostrevan", "-reportsite", "--" + (sim / "replay" / "bold.rpy").string(),
                                              "--" + out.string()}),
                            settings, ui, printed),
              0)
        << messages.str();
    const fs::path site = out / "bold";
    const std::string result = fixture::RunProbe(chromium, site, kProbe, config.scratch() / "chromium");
    ASSERT_FALSE(result.empty()) << "Chromium gave no page";
    RecordProperty("browser", result);

    for (const char* page : {"index.html", "Race.html", "RaceGraphics.html", "RaceGraphics2.html"})
        EXPECT_NE(result.find(std::string("page ") + page + " BackCompat windows-1252"), std::string::npos)
            << page << "\n" << result;
    EXPECT_NE(result.find("image track.png 300x300"), std::string::npos) << result;
    EXPECT_NE(result.find("image RaceGraphics.png "), std::string::npos) << result;
    EXPECT_NE(result.find("image RaceGraphics2.png "), std::string::npos) << result;
    EXPECT_EQ(result.find(" 0x0"), std::string::npos) << result;
    EXPECT_EQ(result.find("pending"), std::string::npos) << result;
    // The race page's text has the name as written, and no bold element
    // other than the frame's own title and link.
    EXPECT_NE(result.find("bold true 2"), std::string::npos) << result;
}

}  // namespace
