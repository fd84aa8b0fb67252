#pragma once
// Shutting the system down from an alarm: on request (the dialogs' Shut Down button, with a
// question first) and unattended (when a dialog opens and the "Shutdown." setting is on).
//
// When the system accepts the request the session is over: the program ends at once
// (EndProgram(0)) without the orderly exit, as it would when Windows goes down. On the
// simulated platform only the simulated session ends; nothing powers off the machine.
namespace veltrix::monitor {

class Program;

inline constexpr const char* kNoShutdownPrivilegeText =
    " You don't have the priviledge to shut down Mirosk1 ";

// Asks "Do you want to shut down your System?" (Yes/No); on Yes takes the port library's
// privilege and asks the system to shut down (power off on NT 5.x), then gives the
// privilege back.
void ShutDownSystem(Program& program);
// Only when the settings box Check2 ("Shutdown.") is ticked: shuts down without asking.
void ShutdownIfEnabled(Program& program);
// Enables "SeShutdownPrivilege" in the process token (NT family). Results are not checked.
void EnableShutdownPrivilege(Program& program);

}  // namespace veltrix::monitor
