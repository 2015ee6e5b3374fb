// The trail of the "%%BREADCRUMBS" token: names, links and escaping.
#include <gtest/gtest.h>

#include <string>

#include "html/breadcrumbs.h"
#include "platform/path.h"

namespace vellora {
namespace {

const std::string kSep(1, kSeparator);
const char kNav[] = "<nav class=\"trail\" aria-label=\"&#36335;&#24452;\">";
const char kStep[] = "<span aria-hidden=\"true\"> / </span>";

std::string Current(const std::string& text) {
  return "<span aria-current=\"page\">" + text + "</span>";
}

TEST(BreadcrumbTrailTest, NamesAndLinksFromTheTop) {
#ifdef _WIN32
  const std::string top = "C:\\srv\\web";
  const std::string drive = "C:\\";
#else
  const std::string top = "/srv/web";
  const std::string drive = "/";
#endif
  struct Case {
    const char* what;
    std::string top, folder, page_name;
    bool link_top;
    std::string want;
  };
  const Case cases[] = {
      {"the top itself", top, top, "index.html", true, Current("web")},
      {"two levels down", top, top + kSep + "a" + kSep + "b c", "index.html", true,
       "<a href=\"../../index.html\">web</a>" + std::string(kStep) +
           "<a href=\"../index.html\">a</a>" + kStep + Current("b c")},
      {"links to the folders themselves", top, top + kSep + "a", "", true,
       "<a href=\"../\">web</a>" + std::string(kStep) + Current("a")},
      {"a top without a page", top, top + kSep + "a", "index.html", false,
       "web" + std::string(kStep) + Current("a")},
      {"a top given with a final separator", top + kSep, top + kSep + "a", "right.html", true,
       "<a href=\"../right.html\">web</a>" + std::string(kStep) + Current("a")},
      {"the file-system root", drive, drive + "a", "i.htm", true,
       "<a href=\"../i.htm\">" + drive + "</a>" + kStep + Current("a")},
      {"a folder outside the top", top, top + "x" + kSep + "y", "index.html", true,
       Current("y")},
  };
  for (const Case& c : cases) {
    TrailOptions options;
    options.page_name = c.page_name;
    options.link_top = c.link_top;
    EXPECT_EQ(BreadcrumbTrail(c.top, c.folder, options, nullptr), kNav + c.want + "</nav>")
        << c.what;
  }
}

TEST(BreadcrumbTrailTest, HostileNamesAreTextAndNeverTargets) {
  const std::string top = "top";
  const std::string names[] = {"<script>alert(1)<", "x\" onmouseover=\"a()", "a&b (1)",
                               "%%FILEsecret.txt%", "javascript:alert(1)", "-dash", "#?q",
#ifndef _WIN32
                               "bad\xFF"
#endif
  };
  std::string folder = top;
  for (const std::string& name : names) folder += kSep + name;
  TrailOptions options;
  options.page_name = "index.html";
  options.replace_iso_chars = true;
  const std::string trail = BreadcrumbTrail(top, folder, options, nullptr);
  // Every target is "../" steps and the page name; no name reaches one.
  for (size_t at = trail.find("href=\""); at != std::string::npos;
       at = trail.find("href=\"", at + 1)) {
    const size_t end = trail.find('"', at + 6);
    const std::string target = trail.substr(at + 6, end - at - 6);
    EXPECT_EQ(target.find_first_not_of("./"), target.rfind("index.html")) << target;
  }
  for (const char* part : {"&lt;script&gt;alert&#40;1&#41;&lt;<",
                           "x&quot; onmouseover=&quot;a&#40;&#41;", "a&amp;b &#40;1&#41;",
                           "&#37;&#37;FILEsecret.txt&#37;", ">javascript:alert&#40;1&#41;<",
                           ">-dash<", ">#?q<"}) {
    EXPECT_NE(trail.find(part), std::string::npos) << part << " in " << trail;
  }
  EXPECT_EQ(trail.find("<script"), std::string::npos);
  EXPECT_EQ(trail.find('%'), std::string::npos);
#ifndef _WIN32
  EXPECT_NE(trail.find(Current("bad\xEF\xBF\xBD")), std::string::npos);
#endif
}

}  // namespace
}  // namespace vellora
