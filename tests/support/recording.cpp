#include "recording.h"

#include <cstdio>
#include <cstring>

#include "device/graph.h"
#include "device/screen.h"
#include "shell/shell.h"

namespace tw {

static std::string fmt(const char *f, int a, int b, int c, int d)
{
	char buf[96];
	std::snprintf(buf, sizeof buf, f, a, b, c, d);
	return buf;
}

void Recording::set_gc(unsigned long fg, unsigned long bg, int, int)
{
	char buf[64];
	std::snprintf(buf, sizeof buf, "gc %06lx %06lx", fg, bg);
	calls.push_back(buf);
}

void Recording::set_font(Font f) { calls.push_back(fmt("font %d", f, 0, 0, 0)); }
void Recording::set_clip(int x, int y, int w, int h) { calls.push_back(fmt("clip %d %d %d %d", x, y, w, h)); }
void Recording::line(int x1, int y1, int x2, int y2) { calls.push_back(fmt("line %d %d %d %d", x1, y1, x2, y2)); }
void Recording::point(int x, int y) { calls.push_back(fmt("point %d %d", x, y, 0, 0)); }

void Recording::rect(bool fill, int x, int y, int w, int h)
{
	calls.push_back((fill ? "fill " : "rect ") + fmt("%d %d %d %d", x, y, w, h));
}

void Recording::arc(bool fill, int x, int y, int w, int h)
{
	calls.push_back((fill ? "fillarc " : "arc ") + fmt("%d %d %d %d", x, y, w, h));
}

void Recording::polygon(const short (*pts)[2], int n)
{
	std::string s = "polygon";
	for (int i = 0; i < n; i++)
		s += fmt(" %d,%d", pts[i][0], pts[i][1], 0, 0);
	calls.push_back(s);
}

void Recording::text(int x, int baseline, const char *s, int n, bool image)
{
	calls.push_back(fmt(image ? "itext %d %d " : "text %d %d ", x, baseline, 0, 0) + std::string(s, n));
}

unsigned long Recording::image_pixel(int x, int y)
{
	if (x < 0 || y < 0 || x >= WIN_W || y >= WIN_H)
		return 0;
	return image[y][x];
}

void Recording::next_event(InputEvent &ev)
{
	if (input.empty()) { // the script ran out: leave the way a user would
		ev = InputEvent{};
		ev.kind = EvKind::key;
		ev.keysym = 'e';
		ev.text[0] = 5;
		ev.ntext = 1;
		return;
	}
	ev = input.front();
	input.pop_front();
}

// Unlike a blocking wait, a look for input finds nothing once the script
// has run out: a wait on the network goes on.
bool Recording::poll_event(InputEvent &ev)
{
	if (input.empty())
		return false;
	next_event(ev);
	return true;
}

void Recording::define_cursor(PointerShape c) { calls.push_back(fmt("cursor %d", c, 0, 0, 0)); }
void Recording::warp_pointer(int x, int y) { calls.push_back(fmt("warp %d %d", x, y, 0, 0)); }

void Recording::key(unsigned long keysym, const char *text)
{
	InputEvent ev;
	ev.kind = EvKind::key;
	ev.keysym = keysym;
	ev.ntext = (int)std::strlen(text);
	std::memcpy(ev.text, text, ev.ntext > 2 ? 2 : ev.ntext);
	input.push_back(ev);
}

void Recording::ch(char c)
{
	char t[2] = {c, 0};
	key(c == '\r' ? KS_RETURN : (unsigned char)c, t);
}

void Recording::click(int x, int y)
{
	InputEvent ev;
	ev.kind = EvKind::button;
	ev.x = x;
	ev.y = y;
	input.push_back(ev);
}

void Recording::expose()
{
	InputEvent ev;
	ev.kind = EvKind::expose;
	input.push_back(ev);
}

bool Recording::has(const std::string &call) const
{
	for (const auto &c : calls)
		if (c == call)
			return true;
	return false;
}

std::string Recording::texts() const
{
	std::string out;
	for (const auto &c : calls)
		if (c.rfind("itext ", 0) == 0 || c.rfind("text ", 0) == 0)
			out += c.substr(c.find(' ', c.find(' ', c.find(' ') + 1) + 1) + 1);
	return out;
}

static void throw_exit(int status) { throw Exited{status}; }

void use_recording(Recording &r)
{
	be = &r;
	open_backend = nullptr;
	close_backend = nullptr;
	exit_process = throw_exit;
	graph_reset();
	screen_reset();
	shell_reset();
	win_init();
}

} // namespace tw
