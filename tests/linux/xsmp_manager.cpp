// A session manager for tests: the server side of XSMP (libSM over libICE),
// driven one line at a time from its standard input, for one client.
//   started          prints "listening ID-LIST", the value for SESSION_MANAGER
//   register         waits for the client to register; "registered ID"
//                    (after Die, the next client)
//   save TYPE DOWN   SaveYourself (TYPE local|global|both, DOWN 0|1); grants
//                    interaction and phase 2 when asked; "done SUCCESS"
//   cancel           ShutdownCancelled; "cancelled"
//   prop NAME        the property the client set last: "prop NAME VALUE"
//                    (a CARD8 as its number, a list joined by spaces) or
//                    "prop NAME none"
//   die              Die; waits for the connection to close; "closed"
// Any wait that gives up prints "timeout"; the client's program is started by
// the caller, with SESSION_MANAGER set to the printed list.
#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Manager {
  std::vector<IceListenObj> listeners;
  IceConn ice = nullptr;
  SmsConn sms = nullptr;
  bool registered = false;
  bool saveDone = false;
  bool saveSuccess = false;
  bool closed = false;
  std::string clientId;
  std::map<std::string, std::string> properties;
};

Manager manager;

std::string PropertyText(const SmProp& prop) {
  if (std::string(prop.type) == SmCARD8 && prop.num_vals > 0 && prop.vals[0].length > 0) {
    return std::to_string(static_cast<unsigned>(*static_cast<unsigned char*>(prop.vals[0].value)));
  }
  std::string text;
  for (int i = 0; i < prop.num_vals; ++i) {
    if (i > 0) text += ' ';
    text.append(static_cast<const char*>(prop.vals[i].value), static_cast<std::size_t>(prop.vals[i].length));
  }
  return text;
}

Status OnRegister(SmsConn sms, SmPointer, char* previousId) {
  char* id = SmsGenerateClientID(sms);
  manager.clientId = id != nullptr ? id : "murrelet-test-client";
  std::free(id);
  std::free(previousId);
  manager.registered = true;
  return SmsRegisterClientReply(sms, manager.clientId.data());
}

void OnInteractRequest(SmsConn sms, SmPointer, int) { SmsInteract(sms); }
void OnInteractDone(SmsConn, SmPointer, Bool) {}
void OnSaveRequest(SmsConn, SmPointer, int, Bool, int, Bool, Bool) {}
void OnPhase2Request(SmsConn sms, SmPointer) { SmsSaveYourselfPhase2(sms); }

void OnSaveDone(SmsConn, SmPointer, Bool success) {
  manager.saveDone = true;
  manager.saveSuccess = success != False;
}

void OnCloseConnection(SmsConn, SmPointer, int count, char** reasons) {
  SmFreeReasons(count, reasons);
  manager.closed = true;
}

void OnSetProperties(SmsConn, SmPointer, int count, SmProp** props) {
  for (int i = 0; i < count; ++i) {
    manager.properties[props[i]->name] = PropertyText(*props[i]);
    SmFreeProperty(props[i]);
  }
  std::free(props);
}

void OnDeleteProperties(SmsConn, SmPointer, int count, char** names) {
  for (int i = 0; i < count; ++i) {
    manager.properties.erase(names[i]);
    std::free(names[i]);
  }
  std::free(names);
}

void OnGetProperties(SmsConn sms, SmPointer) { SmsReturnProperties(sms, 0, nullptr); }

Status OnNewClient(SmsConn sms, SmPointer, unsigned long* mask, SmsCallbacks* callbacks, char**) {
  manager.sms = sms;
  *callbacks = {};
  callbacks->register_client.callback = OnRegister;
  callbacks->interact_request.callback = OnInteractRequest;
  callbacks->interact_done.callback = OnInteractDone;
  callbacks->save_yourself_request.callback = OnSaveRequest;
  callbacks->save_yourself_phase2_request.callback = OnPhase2Request;
  callbacks->save_yourself_done.callback = OnSaveDone;
  callbacks->close_connection.callback = OnCloseConnection;
  callbacks->set_properties.callback = OnSetProperties;
  callbacks->delete_properties.callback = OnDeleteProperties;
  callbacks->get_properties.callback = OnGetProperties;
  *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask |
          SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask | SmsSaveYourselfDoneProcMask |
          SmsCloseConnectionProcMask | SmsSetPropertiesProcMask | SmsDeletePropertiesProcMask |
          SmsGetPropertiesProcMask;
  return 1;
}

// A client that goes away is an answer, not the end of the manager (ICE's
// own handler exits).
void OnIoError(IceConn) {}

// The test's own display and session: any local client may connect.
Bool AnyHost(char*) { return True; }

// Lets the client's connection go: its session first, then the ICE link.
void Drop() {
  if (manager.sms != nullptr) SmsCleanUp(manager.sms);
  manager.sms = nullptr;
  if (manager.ice != nullptr) {
    IceSetShutdownNegotiation(manager.ice, False);
    IceCloseConnection(manager.ice);
  }
  manager.ice = nullptr;
}

// Serves the listeners and the client until `done` holds; false on timeout.
bool PumpUntil(const std::function<bool()>& done, int seconds = 20) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    std::vector<pollfd> fds;
    for (IceListenObj listener : manager.listeners) fds.push_back({IceGetListenConnectionNumber(listener), POLLIN, 0});
    if (manager.ice != nullptr) fds.push_back({IceConnectionNumber(manager.ice), POLLIN, 0});
    if (::poll(fds.data(), fds.size(), static_cast<int>(left.count())) <= 0) continue;
    for (std::size_t i = 0; i < manager.listeners.size(); ++i) {
      if ((fds[i].revents & POLLIN) == 0 || manager.ice != nullptr) continue;
      IceAcceptStatus status;
      manager.ice = IceAcceptConnection(manager.listeners[i], &status);
    }
    if (manager.ice != nullptr && fds.size() > manager.listeners.size() && fds.back().revents != 0) {
      if (IceProcessMessages(manager.ice, nullptr, nullptr) != IceProcessMessagesSuccess) {
        Drop();
        manager.closed = true;
      }
    }
  }
  return true;
}

// The listening sockets' files (local/HOST:/tmp/.ICE-unix/PID), removed
// however the manager ends, so that no test leaves one behind.
std::vector<std::string> socketFiles;

void RemoveSockets() {
  for (const std::string& file : socketFiles) ::unlink(file.c_str());
}

void OnTerm(int) {
  RemoveSockets();
  ::_exit(0);
}

void Say(const std::string& line) {
  std::cout << line << std::endl;
}

}  // namespace

int main() {
  char error[256] = "";
  IceSetIOErrorHandler(OnIoError);
  std::signal(SIGPIPE, SIG_IGN);  // a write to a client that has gone

  if (!SmsInitialize("murrelet-tests", "1.0", OnNewClient, nullptr, AnyHost, sizeof error, error)) {
    std::fprintf(stderr, "SmsInitialize: %s\n", error);
    return 1;
  }
  int count = 0;
  IceListenObj* listeners = nullptr;
  if (!IceListenForConnections(&count, &listeners, sizeof error, error) || count == 0) {
    std::fprintf(stderr, "IceListenForConnections: %s\n", error);
    return 1;
  }
  for (int i = 0; i < count; ++i) {
    IceSetHostBasedAuthProc(listeners[i], AnyHost);
    manager.listeners.push_back(listeners[i]);
  }
  char* ids = IceComposeNetworkIdList(count, listeners);
  std::istringstream list(ids);
  for (std::string id; std::getline(list, id, ',');) {
    const std::size_t colon = id.find(':');
    if ((id.rfind("local/", 0) == 0 || id.rfind("unix/", 0) == 0) && colon != std::string::npos) {
      socketFiles.push_back(id.substr(colon + 1));
    }
  }
  std::signal(SIGTERM, OnTerm);
  Say(std::string("listening ") + ids);
  std::free(ids);

  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream words(line);
    std::string command;
    words >> command;
    if (command == "register") {
      // A client that has gone makes room for the next one.
      if (manager.closed) {
        Drop();
        std::vector<IceListenObj> kept = std::move(manager.listeners);
        manager = Manager();
        manager.listeners = std::move(kept);
      }
      if (!PumpUntil([] { return manager.registered; })) {
        Say("timeout");
        continue;
      }
      Say("registered " + manager.clientId);
    } else if (command == "save") {
      std::string type;
      int shutdown = 0;
      words >> type >> shutdown;
      const int saveType = type == "local" ? SmSaveLocal : type == "global" ? SmSaveGlobal : SmSaveBoth;
      manager.saveDone = false;
      if (manager.sms != nullptr) SmsSaveYourself(manager.sms, saveType, shutdown ? True : False, SmInteractStyleAny, False);
      if (!PumpUntil([] { return manager.saveDone || manager.closed; }) || !manager.saveDone) {
        Say(manager.closed ? "closed" : "timeout");
        continue;
      }
      Say(std::string("done ") + (manager.saveSuccess ? "1" : "0"));
    } else if (command == "cancel") {
      if (manager.sms != nullptr) SmsShutdownCancelled(manager.sms);
      if (manager.ice != nullptr) IceFlush(manager.ice);
      Say("cancelled");
    } else if (command == "prop") {
      std::string name;
      words >> name;
      const auto found = manager.properties.find(name);
      Say("prop " + name + " " + (found != manager.properties.end() ? found->second : std::string("none")));
    } else if (command == "die") {
      if (manager.sms != nullptr) SmsDie(manager.sms);
      Say(PumpUntil([] { return manager.closed; }) ? "closed" : "timeout");
    } else {
      Say("unknown " + command);
    }
  }
  IceFreeListenObjs(count, listeners);
  RemoveSockets();
  return 0;
}
