#include "recording.h"

#include <cstring>

#include "device/graph.h"
#include "device/screen.h"
#include "shell/shell.h"

namespace tw {

void Recording::polygon(const short (*pts)[2], int n)
{
	calls.push_back("polygon");
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

void Recording::key(unsigned long keysym, const char *text)
{
	input.push_back({EvKind::key, 0, 0, keysym});
	input.back().ntext = (int)std::strlen(text);
	std::memcpy(input.back().text, text, std::min(input.back().ntext, 2));
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
