// The trail of the "%%BREADCRUMBS" token beyond what the build modes give
// it: unusual tops, and names that must stay text.
#include <gtest/gtest.h>

#include <string>

#include "html/breadcrumbs.h"
#include "platform/path.h"

namespace vellora {
namespace {

const std::string kSep(1, kSeparator);
const std::string kStep = "<span aria-hidden=\"true\"> / </span>";

std::string Current(const std::string& text) {
  return "<span aria-current=\"page\">" + text + "</span>";
}

TEST(BreadcrumbTrailTest, TopsAndHostileNames) {
#ifdef _WIN32
  const std::string top = "C:\\srv\\web", drive = "C:\\";
#else
  const std::string top = "/srv/web", drive = "/";
#endif
  const struct {
    std::string top, folder, want;
  } cases[] = {
      {top + kSep, top + kSep + "a", "<a href=\"../i.htm\">web</a>" + kStep + Current("a")},
      {drive, drive + "a", "<a href=\"../i.htm\">" + drive + "</a>" + kStep + Current("a")},
      {top, top + "x" + kSep + "y", Current("y")},  // not below the top
  };
  TrailOptions options;
  options.page_name = "i.htm";
  for (const auto& c : cases) {
    EXPECT_EQ(BreadcrumbTrail(c.top, c.folder, options, nullptr),
              "<nav class=\"trail\" aria-label=\"&#36335;&#24452;\">" + c.want + "</nav>")
        << c.folder;
  }

  std::string folder = "top";
  for (const char* name : {"<script>alert(1)<", "x\" onmouseover=\"a()", "a&b (1)",
                           "%%FILEsecret.txt%", "javascript:alert(1)", "-dash", "#?q"}) {
    folder += kSep + name;
  }
#ifndef _WIN32
  folder += "/bad\xFF";
#endif
  options.replace_iso_chars = true;
  const std::string trail = BreadcrumbTrail("top", folder, options, nullptr);
  // Every target is "../" steps and the page name: no name reaches one.
  for (size_t at = trail.find("href=\""); at != std::string::npos;
       at = trail.find("href=\"", at + 1)) {
    EXPECT_EQ(trail.compare(trail.find_first_not_of("./", at + 6), 6, "i.htm\""), 0) << trail;
  }
  for (const char* part : {">&lt;script&gt;alert&#40;1&#41;&lt;<",
                           ">x&quot; onmouseover=&quot;a&#40;&#41;<", ">a&amp;b &#40;1&#41;<",
                           ">&#37;&#37;FILEsecret.txt&#37;<", ">javascript:alert&#40;1&#41;<", ">-dash<", ">#?q<"}) {
    EXPECT_NE(trail.find(part), std::string::npos) << part << " in " << trail;
  }
  EXPECT_EQ(trail.find('%'), std::string::npos);
#ifndef _WIN32
  EXPECT_NE(trail.find(Current("bad\xEF\xBF\xBD")), std::string::npos);
#endif
}

}  // namespace
}  // namespace vellora
