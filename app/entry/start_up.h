#pragma once

#include <QStringList>

#include <memory>

#include "client/database.h"

class TCDPlayer;
class TCassetteInsert;
class TReelsmithForm;
class TSplashScreen;

// The program's windows from the start to the end, in their order: the splash screen (unless
// the splash is turned off by the "--no-splash" switch or the setting), the hidden CD player,
// the catalogue window and, once the catalogue window first needs it, the cassette window; they
// are destroyed in the reverse order.
//
// With the splash, the catalogue window shows when the splash hands over. Without it, the
// catalogue window shows as soon as its first idle moment has opened the catalogue.
class TStartUpWindows {
 public:
  // `arguments` are the program's arguments after its name. Throws what the catalogue window
  // throws when it cannot be built (a missing library); whatever was built before goes again.
  explicit TStartUpWindows(const QStringList& arguments,
                           const TLibrarySearch& search = TLibrarySearch::Default());
  ~TStartUpWindows();

  TSplashScreen* Splash() const { return splash_.get(); }  // null when turned off
  TCDPlayer* CDPlayer() const { return cdPlayer_.get(); }
  TReelsmithForm* Form() const { return form_.get(); }
  TCassetteInsert* CassetteInsert() const { return cassette_.get(); }  // null until first needed

 private:
  std::unique_ptr<TSplashScreen> splash_;
  std::unique_ptr<TCDPlayer> cdPlayer_;
  std::unique_ptr<TReelsmithForm> form_;
  std::unique_ptr<TCassetteInsert> cassette_;
};

// The program from its start to its end: the start-up windows, the event loop, and the shutdown
// in the reverse order. Answers the exit status: 0, or 1 with a line on stderr when the program
// could not start.
int RunReelsmith(int argc, char** argv);
