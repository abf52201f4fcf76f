// fetch: events from any FDSN event service (fdsnws-event) into yearly
// dataset files. The text format is read page by page with limit and
// offset, kept in one file, and imported as import does, so the report
// is import's: nothing read is dropped without being counted.
#include <cstdio>
#include <curl/curl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <unistd.h>

#include "commands.h"
#include "importer.h"

namespace tdata {

namespace {

struct Fetch {
  std::string url;                  // the service's query URL
  std::vector<std::pair<std::string, std::string>> params;
  long page = 10000;                // events asked for per request
};

std::string query_url(std::string u) {
  if (u.size() >= 6 && u.compare(u.size() - 6, 6, "/query") == 0) return u;
  while (!u.empty() && u.back() == '/') u.pop_back();
  if (u.find("/fdsnws/event/1") == std::string::npos) u += "/fdsnws/event/1";
  return u + "/query";
}

// "A/B" as two numbers for a min and max parameter.
void range(const Args& a, const char* opt, const char* lo, const char* hi, Fetch& f) {
  const std::string v = a.value(opt);
  if (v.empty()) return;
  double x, y;
  char end;
  if (std::sscanf(v.c_str(), "%lf/%lf%c", &x, &y, &end) != 2)
    throw std::runtime_error(std::string(opt) + " is MIN/MAX, not " + v);
  f.params.push_back({lo, std::to_string(x)});
  f.params.push_back({hi, std::to_string(y)});
}

Fetch fetch_options(const Args& a, const std::string& url) {
  Fetch f;
  f.url = query_url(url);
  f.page = a.number("--page", 10000);
  if (f.page < 1) throw std::runtime_error("--page wants a positive number");
  f.params = {{"format", "text"}, {"orderby", "time-asc"}, {"nodata", "204"}};
  if (!a.value("--catalog").empty()) f.params.push_back({"catalog", a.value("--catalog")});
  if (!a.value("--from").empty()) f.params.push_back({"starttime", std::to_string(a.number("--from", 0)) + "-01-01T00:00:00"});
  if (!a.value("--to").empty()) f.params.push_back({"endtime", std::to_string(a.number("--to", 0)) + "-12-31T23:59:59.9"});
  if (!a.value("--box").empty()) {
    const Box b = parse_box(a.value("--box"));
    for (auto [k, v] : {std::pair{"minlongitude", b.west}, {"maxlongitude", b.east},
                        {"minlatitude", b.south}, {"maxlatitude", b.north}})
      f.params.push_back({k, std::to_string(v)});
  }
  range(a, "--depth", "mindepth", "maxdepth", f);
  range(a, "--mag", "minmagnitude", "maxmagnitude", f);
  return f;
}

size_t collect(char* p, size_t size, size_t n, void* out) {
  static_cast<std::string*>(out)->append(p, size * n);
  return size * n;
}

using Curl = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;

// One page; the text on 200, "" on 204, an exception with the service's
// message otherwise.
std::string get_page(CURL* c, const Fetch& f, long offset) {
  std::string url = f.url + "?limit=" + std::to_string(f.page) + "&offset=" + std::to_string(offset);
  for (const auto& [k, v] : f.params) {
    char* e = curl_easy_escape(c, v.c_str(), static_cast<int>(v.size()));
    url += "&" + k + "=" + e;
    curl_free(e);
  }
  std::string body;
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &body);
  const CURLcode rc = curl_easy_perform(c);
  if (rc != CURLE_OK) throw std::runtime_error(url + ": " + curl_easy_strerror(rc));
  long status = 0;
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
  if (status == 204 || status == 404) return "";
  if (status != 200) throw std::runtime_error(url + ": HTTP " + std::to_string(status) + "\n" + body.substr(0, 600));
  return body;
}

long data_lines(const std::string& text) {
  long n = 0;
  for (size_t at = 0; at < text.size();) {
    size_t nl = text.find('\n', at);
    if (nl == std::string::npos) nl = text.size();
    if (nl > at && text[at] != '#') ++n;
    at = nl + 1;
  }
  return n;
}

// Every page into out; returns the number of pages. A page shorter than
// asked for is the last.
int fetch_all(const Fetch& f, std::ostream& out, long& lines) {
  Curl c(curl_easy_init(), curl_easy_cleanup);
  if (!c) throw std::runtime_error("cannot start libcurl");
  curl_easy_setopt(c.get(), CURLOPT_WRITEFUNCTION, collect);
  curl_easy_setopt(c.get(), CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c.get(), CURLOPT_USERAGENT, "tarnwell-data");
  curl_easy_setopt(c.get(), CURLOPT_CONNECTTIMEOUT, 30L);
  int pages = 0;
  lines = 0;
  for (std::string last;;) {
    std::string text = get_page(c.get(), f, lines + 1);
    if (text.empty()) break;
    if (text == last) throw std::runtime_error("the service returns the same page again; it ignores offset");
    const long n = data_lines(text);
    out << text;
    ++pages;
    lines += n;
    if (n < f.page) break;
    last = std::move(text);
  }
  return pages;
}

// The fetched text's file: --keep, or a temporary one removed afterwards.
struct TextFile {
  std::string path;
  bool temporary = false;
  explicit TextFile(const std::string& keep) : path(keep) {
    if (!path.empty()) return;
    std::string tmpl = (std::filesystem::temp_directory_path() / "tarnwell-fetch-XXXXXX").string();
    const int fd = mkstemp(tmpl.data());
    if (fd < 0) throw std::runtime_error("cannot make a temporary file");
    ::close(fd);
    path = tmpl;
    temporary = true;
  }
  ~TextFile() {
    if (temporary) std::remove(path.c_str());
  }
};

}  // namespace

int cmd_fetch(const Args& a) {
  a.check({"--skip-bad"}, {"--source", "--out", "--catalog", "--from", "--to", "--box", "--depth",
                           "--mag", "--page", "--keep"});
  const auto pos = a.positional({"--skip-bad"});
  if (pos.size() != 1) throw Usage("give one service URL");
  const Fetch f = fetch_options(a, pos[0]);
  ImportOptions opt;
  opt.source = a.value("--source");
  opt.outdir = a.value("--out", ".");
  if (opt.source.empty()) throw Usage("give --source");
  const TextFile text(a.value("--keep"));
  long lines = 0;
  int pages;
  {
    std::ofstream out(text.path, std::ios::binary);
    pages = fetch_all(f, out, lines);
    if (!out.flush()) throw std::runtime_error("cannot write " + text.path);
  }
  ImportReport rep = run_import({Input("fdsn", text.path)}, opt);
  if (text.temporary)
    for (Problem& p : rep.problems) p.file = "fetched text";
  std::cout << lines << " events fetched in " << pages << " page(s) from " << f.url << "\n";
  print_report(std::cout, rep);
  if (rep.problems.empty() || a.flag("--skip-bad")) return 0;
  std::cerr << "tarnwell-data fetch: " << rep.problems.size()
            << " rows unreadable (listed above); --skip-bad accepts them left out\n";
  return 1;
}

}  // namespace tdata
