// What reading KY-GEN.CNF needs of the running program: the host, the windows
// (the folder picker and the message boxes) and the folder that holds
// KY-GEN.CNF. The program's shared state (`Session`, app/session.h)
// is one; the cnf readers see only this part of it.
#ifndef ZARIREVO_CNF_CNF_SESSION_H_
#define ZARIREVO_CNF_CNF_SESSION_H_

#include <string>

#include "platform/platform.h"
#include "platform/user_interface.h"

namespace zr {

struct CnfSession {
  CnfSession(Platform& platform_in, UserInterface& ui_in) : platform(platform_in), ui(ui_in) {}
  CnfSession(const CnfSession&) = delete;
  CnfSession& operator=(const CnfSession&) = delete;

  Platform& platform;
  UserInterface& ui;

  std::string CnfFolder;  // folder of KY-GEN.CNF
};

}  // namespace zr

#endif  // ZARIREVO_CNF_CNF_SESSION_H_
