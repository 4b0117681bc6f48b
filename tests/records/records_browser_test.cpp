// The best-laps site as a browser sees it: every page of a small records
// set, served from 127.0.0.1 and opened in headless Chromium, loads with
// its style sheet, in quirks mode, and every link between the pages leads
// to a page that is there. Skipped when Chromium is missing.

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "records/export_records_model.h"
#include "records/records_html_writer.h"
#include "records_scenario.h"
#include "support/browser_probe.h"
#include "support/recording_interaction.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Frames every page of the site and follows each page's links with fetch.
constexpr const char* kProbe = R"(<!DOCTYPE html><html><body><pre id="result"></pre>
<script>
const pages = PAGES;
const out = [];
let left = pages.length;
for (const p of pages) {
  const f = document.createElement('iframe');
  f.src = p;
  f.onload = async () => {
    const d = f.contentDocument;
    let rules = 0;
    for (const s of d.styleSheets) rules += s.cssRules.length;
    out.push('page ' + p + ' ' + d.compatMode + ' title=' + (d.title.length > 0) + ' css=' + (rules > 0));
    for (const a of d.querySelectorAll('a[href]')) {
      const href = a.getAttribute('href');
      if (href.indexOf('://') >= 0) continue;
      const r = await fetch(href);
      out.push('link ' + p + ' ' + href + ' ' + r.status);
    }
    if (--left === 0) document.getElementById('result').textContent = out.join('\n');
  };
  document.body.appendChild(f);
}
</script></body></html>)";

TEST(RecordsSiteInBrowser, EveryPageLoadsWithItsStyleAndEveryLinkLeadsToAPage) {
    const std::string chromium = fixture::Chromium();
    if (chromium.empty()) GTEST_SKIP() << "Chromium is not installed (Debian package chromium): browser test skipped";

    fixture::TempDir dir;
    records_scenario::Write(dir.path() / "qel");
    ExportRecordsModel::Options options;
    options.simulator_folder = (dir.path() / "qel").string();
    ExportRecordsModel model;
    fixture::RecordingInteraction ui;
    ASSERT_EQ(model.Run(1, options, ui), ExportRecordsModel::Result::kDone);
    const fs::path records = dir.path() / "records";
    fs::create_directories(records);
    RecordsHtmlWriter writer(model);
    ASSERT_TRUE(writer.WriteSite(records.string(), {}, ui, std::time(nullptr)));
    const fs::path site = writer.GetSiteFolder();

    std::string pages = "[";
    int count = 0;
    for (const auto& entry : fs::directory_iterator(site)) {
        if (entry.path().extension() != ".html") continue;
        pages += (count++ ? ",'" : "'") + entry.path().filename().string() + "'";
    }
    pages += "]";
    ASSERT_GT(count, 5);
    std::string probe = kProbe;
    probe.replace(probe.find("PAGES"), 5, pages);

    const std::string result = fixture::RunProbe(chromium, site, probe, dir.path() / "chromium");
    ASSERT_FALSE(result.empty()) << "Chromium gave no page";
    RecordProperty("browser", result);
    int loaded = 0;
    for (size_t at = 0; (at = result.find("page ", at)) != std::string::npos; ++at) ++loaded;
    EXPECT_EQ(loaded, count) << result;
    EXPECT_EQ(result.find("CSS1Compat"), std::string::npos) << result;
    EXPECT_EQ(result.find("title=false"), std::string::npos) << result;
    EXPECT_EQ(result.find("css=false"), std::string::npos) << result;
    EXPECT_NE(result.find("link index.html"), std::string::npos) << result;
    EXPECT_EQ(result.find(" 404"), std::string::npos) << result;
}

}  // namespace
