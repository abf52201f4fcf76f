#include "recording.h"

#include <algorithm>
#include <cstring>

#include "device/graph.h"
#include "device/screen.h"
#include "shell/shell.h"

namespace tw {

void Recording::polygon(const short (*pts)[2], int n)
{
	log("polygon");
	for (int i = 0; i < n; i++)
		calls.back() += " " + std::to_string(pts[i][0]) + "," + std::to_string(pts[i][1]);
}

void Recording::next_event(InputEvent &ev)
{
	if (input.empty()) // the script ran out: leave the way a user would
		return key('e', "\x05"), next_event(ev);
	ev = input.front();
	input.pop_front();
}

// Unlike a blocking wait, a look for input finds nothing once the script
// has run out: a wait on the network goes on.
bool Recording::poll_event(InputEvent &ev)
{
	return !input.empty() && (next_event(ev), true);
}

void Recording::key(unsigned long keysym, const char *text)
{
	input.push_back({EvKind::key, 0, 0, keysym});
	input.back().ntext = (int)std::strlen(text);
	std::memcpy(input.back().text, text, std::min(input.back().ntext, 2));
}

void Recording::ch(char c)
{
	char t[2] = {c, 0};
	key(c == '\r' ? KS_RETURN : (unsigned char)c, t);
}

bool Recording::has(const std::string &call) const
{
	return std::find(calls.begin(), calls.end(), call) != calls.end();
}

std::string Recording::texts() const
{
	std::string out;
	for (const auto &c : calls)
		if (c.rfind("itext ", 0) == 0 || c.rfind("text ", 0) == 0)
			out += c.substr(c.find(' ', c.find(' ', c.find(' ') + 1) + 1) + 1);
	return out;
}

void use_recording(Recording &r)
{
	be = &r;
	open_backend = nullptr;
	close_backend = nullptr;
	exit_process = [](int status) { throw Exited{status}; };
	graph_reset();
	screen_reset();
	shell_reset();
	win_init();
}

} // namespace tw
