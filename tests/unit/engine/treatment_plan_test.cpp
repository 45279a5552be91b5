// Findings against their plans: what is ended, changed, deleted and taken, and why the
// rest stays. The fakes report protected files, Microsoft's and other publishers'
// signatures and critical processes the way Windows does.

#include <gtest/gtest.h>

#include <functional>

#include "core/engine/treatment_planner.h"
#include "tests/unit/engine/engine_world.h"

namespace zc {
namespace {

using testing::EngineWorld;
using testing::kHklm;

constexpr char16_t kRundll32[] = u"C:\\Windows\\System32\\rundll32.exe";
constexpr char16_t kSvchost[] = u"C:\\Windows\\System32\\svchost.exe";
constexpr char16_t kBotDll[] = u"C:\\Users\\u\\AppData\\x.dll";

struct Machine {
  Machine() {
    w.processes.AddDrive(u"C:\\", u"\\Device\\HarddiskVolume1");
    for (const char16_t* file :
         {kRundll32, kSvchost, u"C:\\Windows\\System32\\wscript.exe", u"C:\\Windows\\System32\\cmd.exe",
          u"C:\\Windows\\System32\\mshta.exe", u"C:\\Windows\\System32\\csrss.exe",
          u"C:\\Windows\\System32\\notepad.exe", u"C:\\Windows\\System32\\dcomsvc.dll", kBotDll,
          u"C:\\Users\\u\\AppData\\x.vbs", u"C:\\Users\\u\\AppData\\bot.exe", u"C:\\Users\\u\\AppData\\evilsvc.dll",
          u"C:\\Program Files\\Java\\bin\\javaw.exe", u"C:\\Users\\u\\rat.jar",
          u"C:\\Program Files\\Good\\tool.exe", u"C:\\Windows\\System32\\spooler.exe"}) {
      AddFileWithFolders(file);
    }
    w.trust.SignByMicrosoft(u"C:\\Windows\\System32\\dcomsvc.dll");
    w.trust.Protect(u"C:\\Windows\\System32\\spooler.exe");
    w.trust.SignBy(u"C:\\Program Files\\Good\\tool.exe", u"Good Tools Co.");
    // A bot may sign itself as "Microsoft Windows" under a root of its own: it reads as
    // another publisher at most, never as Windows.
    w.trust.SignBy(u"C:\\Users\\u\\AppData\\x.vbs", u"Microsoft Windows");
    AddService(u"EvilSvc", u"%SystemRoot%\\System32\\svchost.exe -k netsvcs", u"C:\\Users\\u\\AppData\\evilsvc.dll");
    AddService(u"DcomLaunch", u"C:\\WINDOWS\\system32\\SVCHOST.EXE -k DcomLaunch -p",
               u"C:\\Windows\\System32\\dcomsvc.dll");
    AddService(u"Spooler", u"C:\\Windows\\System32\\spooler.exe", u"");
  }
  void AddFileWithFolders(TextView path) {
    for (size_t cut = path.find(u'\\', 3); cut != TextView::npos; cut = path.find(u'\\', cut + 1))
      if (!w.files.IsFolder(path.substr(0, cut))) w.files.AddFolder(path.substr(0, cut));
    w.files.AddFile(path);
  }
  void AddService(TextView name, TextView imagePath, TextView dll) {
    ServiceConfig config;
    config.name = Text(name);
    config.imagePath = Text(imagePath);
    w.services.Add(config);
    const Text key = w.T(enc::ServiceKeyPrefix) + Text(name);
    w.registry.SetText(kHklm, key, u"ImagePath", imagePath, 2);
    if (!dll.empty()) w.registry.SetText(kHklm, key + u"\\Parameters", u"ServiceDll", dll, 2);
  }
  // A process running `image` (a drive-letter path) started with `commandLine`.
  void Run(uint32_t id, TextView image, TextView commandLine, std::vector<Text> modules = {},
           Criticality criticality = Criticality::NotCritical) {
    const Text path(image);
    w.processes.AddProcess(id, path.substr(path.rfind(u'\\') + 1), u"\\Device\\HarddiskVolume1" + path.substr(2));
    modules.insert(modules.begin(), path);
    w.processDetails.Add(id, commandLine, u"C:\\Users\\u", std::move(modules), criticality);
  }

  TreatmentPlan Plan(const Finding& finding, TextView runningUser = {}) {
    FindingProcesses suspects{w.processes, w.shell};
    suspects.Refresh();
    TreatmentPlanner planner{w.texts, w.definitions, w.Machine(), suspects};
    planner.SetRunningUserSid(Text(runningUser));
    return planner.Plan(finding);
  }

  EngineWorld w;
};

Finding Process(TextView name, TextView id, TextView path, TextView detail = u"N/A") {
  return {Text(name), Text(id), Text(path), Text(detail), kKindOutputTunnel, u"", u""};
}
Finding Autorun(TextView commandLine) {
  return {u"x", u"None", Text(commandLine), u"N/A", kKindRegistryInfection, u"Updater", u"1"};
}

struct Expected {
  std::vector<uint32_t> ended;
  bool copies;
  std::vector<Text> services;
  size_t values;
  std::vector<Text> files;
  std::vector<KeptReason> kept;
};

TEST(TreatmentPlanTest, TheBotsFileIsTakenNeverWindowsOrAnInnocentProgram) {
  struct Case {
    const char* what;
    std::function<void(Machine&)> setUp;
    Finding finding;
    Expected expected;
  };
  const Case cases[] = {
      {"a bot of its own", [](Machine& m) { m.Run(700, u"C:\\Users\\u\\AppData\\bot.exe", u"bot.exe"); },
       Process(u"bot.exe", u"700", u"C:\\Users\\u\\AppData\\bot.exe"),
       {{700}, true, {}, 0, {u"C:\\Users\\u\\AppData\\bot.exe"}, {}}},
      {"a DLL host running the bot: its payload, that process only",
       [](Machine& m) {
         m.Run(500, kRundll32, u"rundll32.exe C:\\Users\\u\\AppData\\x.dll,Start", {kBotDll});
         m.Run(501, kRundll32, u"rundll32.exe shell32.dll,Control_RunDLL");
       },
       Process(u"rundll32.exe", u"500", kRundll32),
       {{500}, false, {}, 0, {kBotDll}, {KeptReason::HostProgram}}},
      {"a DLL the host names but has not loaded",
       [](Machine& m) { m.Run(500, kRundll32, u"rundll32.exe C:\\Users\\u\\AppData\\x.dll,Start"); },
       Process(u"rundll32.exe", u"500", kRundll32),
       {{500}, false, {}, 0, {}, {KeptReason::HostProgram, KeptReason::PayloadUnknown}}},
      {"a host whose command line cannot be read", [](Machine& m) {
         m.w.processes.AddProcess(500, u"rundll32.exe", u"\\Device\\HarddiskVolume1\\Windows\\System32\\rundll32.exe");
       },
       Process(u"rundll32.exe", u"500", kRundll32),
       {{500}, false, {}, 0, {}, {KeptReason::HostProgram, KeptReason::PayloadUnknown}}},
      {"a critical bot: not ended, its file taken",
       [](Machine& m) {
         m.Run(700, u"C:\\Users\\u\\AppData\\bot.exe", u"bot.exe", {}, Criticality::Critical);
       },
       Process(u"bot.exe", u"700", u"C:\\Users\\u\\AppData\\bot.exe"),
       {{}, false, {}, 0, {u"C:\\Users\\u\\AppData\\bot.exe"}, {KeptReason::CriticalProcess}}},
      {"criticality the system would not tell",
       [](Machine& m) { m.Run(700, u"C:\\Users\\u\\AppData\\bot.exe", u"bot.exe", {}, Criticality::Unknown); },
       Process(u"bot.exe", u"700", u"C:\\Users\\u\\AppData\\bot.exe"),
       {{}, false, {}, 0, {u"C:\\Users\\u\\AppData\\bot.exe"}, {KeptReason::CriticalityUnknown}}},
      {"the session's csrss, unsigned as under Wine",
       [](Machine& m) { m.Run(600, u"C:\\Windows\\System32\\csrss.exe", u"csrss.exe"); },
       Process(u"csrss.exe", u"600", u"C:\\Windows\\System32\\csrss.exe"),
       {{}, false, {}, 0, {}, {KeptReason::CoreProcess}}},
      {"a process whose image the system protects",
       [](Machine& m) { m.Run(610, u"C:\\Windows\\System32\\spooler.exe", u"spooler.exe"); },
       Process(u"spooler.exe", u"610", u"C:\\Windows\\System32\\spooler.exe"),
       {{610}, false, {}, 0, {}, {KeptReason::WindowsFile}}},
      {"an autorun value through the DLL host", [](Machine&) {},
       Autorun(u"C:\\Windows\\System32\\rundll32.exe C:\\Users\\u\\AppData\\x.dll,Start"),
       {{}, false, {}, 2, {kBotDll}, {KeptReason::HostProgram}}},
      {"an autorun value through the Java runtime", [](Machine&) {},
       Autorun(u"\"C:\\Program Files\\Java\\bin\\javaw.exe\" -jar C:\\Users\\u\\rat.jar"),
       {{}, false, {}, 2, {u"C:\\Users\\u\\rat.jar"}, {KeptReason::HostProgram}}},
      {"an inline script: no file step", [](Machine&) {},
       Autorun(u"mshta.exe vbscript:Execute(\"CreateObject(\"\"WScript.Shell\"\").Run \"\"x\"\"\")"),
       {{}, false, {}, 2, {}, {KeptReason::HostProgram, KeptReason::PayloadUnknown}}},
      {"a script signed as 'Microsoft Windows' under a root of its own", [](Machine&) {},
       Autorun(u"wscript.exe //B C:\\Users\\u\\AppData\\x.vbs"),
       {{}, false, {}, 2, {}, {KeptReason::HostProgram, KeptReason::SignedFile}}},
      {"a program another publisher signed", [](Machine&) {},
       Autorun(u"\"C:\\Program Files\\Good\\tool.exe\" /tray"),
       {{}, false, {}, 2, {}, {KeptReason::SignedFile}}},
      {"the shared host: the owning service and its DLL, never the host",
       [](Machine& m) {
         m.Run(800, kSvchost, u"svchost.exe -k netsvcs");
         m.w.connectionOwners.owners[800] = {u"EvilSvc"};
       },
       Process(u"svchost.exe", u"800", kSvchost, u"DcomLaunch, EvilSvc"),
       {{}, false, {u"EvilSvc"}, 0, {u"C:\\Users\\u\\AppData\\evilsvc.dll"}, {KeptReason::SharedServiceHost}}},
      {"the shared host: a Windows service stays",
       [](Machine& m) {
         m.Run(800, kSvchost, u"svchost.exe -k DcomLaunch");
         m.w.connectionOwners.owners[800] = {u"DcomLaunch"};
       },
       Process(u"svchost.exe", u"800", kSvchost, u"DcomLaunch, EvilSvc"),
       {{}, false, {}, 0, {}, {KeptReason::SharedServiceHost, KeptReason::WindowsService}}},
      {"the shared host: no owner told, several services",
       [](Machine& m) {
         m.Run(800, kSvchost, u"svchost.exe -k netsvcs");
         m.w.connectionOwners.unreadable = true;
       },
       Process(u"svchost.exe", u"800", kSvchost, u"DcomLaunch, EvilSvc"),
       {{}, false, {}, 0, {}, {KeptReason::SharedServiceHost, KeptReason::NoOwningService}}},
      {"a Windows service of its own process, matched by a pattern",
       [](Machine& m) { m.Run(610, u"C:\\Windows\\System32\\spooler.exe", u"spooler.exe"); },
       Process(u"spooler.exe", u"610", u"C:\\Windows\\System32\\spooler.exe", u"Spooler"),
       {{}, false, {}, 0, {}, {KeptReason::WindowsService}}},
      {"the same service named by the definitions: changed, its file stays",
       [](Machine& m) {
         m.Run(610, u"C:\\Windows\\System32\\spooler.exe", u"spooler.exe");
         m.w.definitions.ServiceNameList = {u"", u"spooler", u""};
       },
       Process(u"spooler.exe", u"610", u"C:\\Windows\\System32\\spooler.exe", u"Spooler"),
       {{610}, false, {u"Spooler"}, 0, {}, {KeptReason::WindowsFile}}},
  };
  for (const Case& c : cases) {
    Machine m;
    c.setUp(m);
    const TreatmentPlan plan = m.Plan(c.finding);
    std::vector<uint32_t> ended;
    for (const PlannedProcess& p : plan.processes) ended.push_back(p.id);
    std::vector<Text> services;
    for (const PlannedService& s : plan.services) services.push_back(s.name);
    std::vector<Text> files;
    for (const PlannedFile& f : plan.files) files.push_back(f.path);
    std::vector<KeptReason> kept;
    for (const KeptItem& k : plan.kept) kept.push_back(k.reason);
    EXPECT_EQ(ended, c.expected.ended) << c.what;
    EXPECT_EQ(plan.endCopiesOfImage, c.expected.copies) << c.what;
    EXPECT_EQ(services, c.expected.services) << c.what;
    EXPECT_EQ(plan.values.size(), c.expected.values) << c.what;
    EXPECT_EQ(files, c.expected.files) << c.what;
    EXPECT_EQ(kept, c.expected.kept) << c.what;
  }
}

TEST(TreatmentPlanTest, ASharedHostServiceLeavesItsGroupAndA32BitValueItsView) {
  Machine m;
  m.Run(800, kSvchost, u"svchost.exe -k netsvcs");
  m.w.connectionOwners.owners[800] = {u"evilsvc"};
  const TreatmentPlan host = m.Plan(Process(u"svchost.exe", u"800", kSvchost, u"DcomLaunch, EvilSvc"));
  ASSERT_EQ(host.services.size(), 1u);
  EXPECT_EQ(host.services[0], (PlannedService{u"evilsvc", true, true, true, u"netsvcs"}));

  Finding value = Autorun(u"C:\\Users\\u\\AppData\\bot.exe");
  value.flag = u"3";
  const TreatmentPlan plan = m.Plan(value);
  ASSERT_EQ(plan.values.size(), 1u);
  EXPECT_EQ(plan.values[0].view, RegistryView::Wow32);
  EXPECT_EQ(plan.values[0].root, kHklm);
}

TEST(TreatmentPlanTest, AUsersOwnValueTakesOnlyAFileThatUserMayDelete) {
  // The person's own value may name only what the person could delete; a value of the
  // machine's root is an administrator's and is judged as before.
  constexpr char16_t kPerson[] = u"S-1-5-21-1-2-3-1001";
  constexpr char16_t kAway[] = u"S-1-5-21-1-2-3-1002";  // not logged on: no token here
  Machine m;
  m.AddFileWithFolders(u"C:\\Program Files\\Vendor\\app.exe");
  m.w.userRights.deletableFolders[kPerson] = {u"C:\\Users\\u"};
  struct Case {
    const char* what;
    Text flag;
    Text file;
    bool taken;
  };
  const Case cases[] = {
      {"the person's value, a file in their profile", u"1", u"C:\\Users\\u\\AppData\\bot.exe", true},
      {"the person's value, a program they may not delete", u"1", u"C:\\Program Files\\Vendor\\app.exe", false},
      {"another user's hive, a program they may not delete", Text(u"4:") + kPerson,
       u"C:\\Program Files\\Vendor\\app.exe", false},
      {"the machine's value, the same program", u"2", u"C:\\Program Files\\Vendor\\app.exe", true},
      {"a user not logged on: judged as before", Text(u"4:") + kAway, u"C:\\Program Files\\Vendor\\app.exe",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Finding value = Autorun(c.file);
    value.flag = c.flag;
    const TreatmentPlan plan = m.Plan(value, kPerson);
    EXPECT_FALSE(plan.values.empty());  // the value itself goes either way
    EXPECT_EQ(plan.files.size(), c.taken ? 1u : 0u);
    if (!c.taken) {
      ASSERT_EQ(plan.kept.size(), 1u);
      EXPECT_EQ(plan.kept[0].reason, KeptReason::UserMayNotDelete);
      EXPECT_EQ(plan.kept[0].subject, c.file);
    }
  }
}

TEST(TreatmentPlanTest, AnotherUsersCommandLineIsReadWithThatUsersOwnVariables) {
  // The administrator runs the program; the person's value names files through the
  // person's variables. Both have a bot.exe under their own application data, so a line
  // read with the wrong person's variables would take the wrong one.
  constexpr char16_t kAdmin[] = u"S-1-5-21-1-2-3-500";
  constexpr char16_t kPerson[] = u"S-1-5-21-1-2-3-1001";
  constexpr char16_t kAway[] = u"S-1-5-21-1-2-3-1002";  // hive loaded, no token: no variables
  Machine m;
  m.w.environment.runningUserSid = kAdmin;
  m.w.environment.variables[u"appdata"] = u"C:\\Users\\admin\\AppData\\Roaming";
  m.w.environment.variables[u"localappdata"] = u"C:\\Users\\admin\\AppData\\Local";
  m.w.environment.variables[u"path"] = u"C:\\Users\\admin\\bin";
  m.w.environment.users[kPerson] = {{u"systemroot", u"C:\\Windows"},
                                    {u"appdata", u"C:\\Users\\p\\AppData\\Roaming"},
                                    {u"localappdata", u"C:\\Users\\p\\AppData\\Local"},
                                    {u"path", u"C:\\Users\\p\\bin"}};
  for (const char16_t* file :
       {u"C:\\Users\\admin\\AppData\\Roaming\\x\\bot.exe", u"C:\\Users\\p\\AppData\\Roaming\\x\\bot.exe",
        u"C:\\Users\\admin\\AppData\\Local\\y\\only-admin.exe", u"C:\\Users\\admin\\bin\\bare.exe",
        u"C:\\Users\\p\\bin\\bare.exe", u"C:\\Users\\p\\AppData\\Roaming\\x\\evil.dll",
        u"C:\\Users\\admin\\AppData\\Roaming\\x\\evil.dll"})
    m.AddFileWithFolders(file);
  m.AddFileWithFolders(u"C:\\Users\\admin\\tools\\registered.exe");
  // The administrator's own registration of a name, in the running account's hive.
  m.w.registry.SetText(testing::kHkcu, u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\registered.exe",
                       u"", u"C:\\Users\\admin\\tools\\registered.exe", 1);
  const Text person = Text(u"4:") + kPerson;
  const Text away = Text(u"4:") + kAway;
  struct Case {
    const char* what;
    Text flag;
    Text line;
    std::vector<Text> files;  // taken
    FileFinding finding;
    bool keptForVariables;
  };
  const Case cases[] = {
      {"the running account's own value: its own folder", u"1", u"%APPDATA%\\x\\bot.exe",
       {u"C:\\Users\\admin\\AppData\\Roaming\\x\\bot.exe"}, FileFinding::File, false},
      {"the person's value: the person's folder", person, u"%APPDATA%\\x\\bot.exe",
       {u"C:\\Users\\p\\AppData\\Roaming\\x\\bot.exe"}, FileFinding::File, false},
      {"the person's value, a file only the administrator has: nothing", person,
       u"%LOCALAPPDATA%\\y\\only-admin.exe", {}, FileFinding::NotFound, false},
      {"the person's value, a bare name: the person's PATH", person, u"bare.exe", {u"C:\\Users\\p\\bin\\bare.exe"},
       FileFinding::File, false},
      {"the administrator's own value, a name the administrator registered", u"1", u"registered.exe",
       {u"C:\\Users\\admin\\tools\\registered.exe"}, FileFinding::File, false},
      {"the person's value, a name only the administrator registered: nothing", person, u"registered.exe", {},
       FileFinding::NotFound, false},
      {"the person's value, a host's payload: the person's folder", person,
       u"%SystemRoot%\\System32\\rundll32.exe %APPDATA%\\x\\evil.dll,Start",
       {u"C:\\Users\\p\\AppData\\Roaming\\x\\evil.dll"}, FileFinding::File, false},
      {"no variables of that user: no file, said why", away, u"%APPDATA%\\x\\bot.exe", {}, FileFinding::None, true},
      {"no variables of that user, a payload: no file either", away,
       u"%SystemRoot%\\System32\\rundll32.exe %APPDATA%\\x\\evil.dll,Start", {}, FileFinding::None, true},
      {"no variables of that user, a bare name: their PATH is theirs", away, u"bare.exe", {}, FileFinding::None,
       true},
      {"no variables of that user, a full path needs none", away, u"C:\\Users\\p\\AppData\\Roaming\\x\\bot.exe",
       {u"C:\\Users\\p\\AppData\\Roaming\\x\\bot.exe"}, FileFinding::File, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Finding value = Autorun(c.line);
    value.flag = c.flag;
    const TreatmentPlan plan = m.Plan(value, kAdmin);
    EXPECT_EQ(plan.values.size(), c.flag == u"1" ? 2u : 1u);  // the value goes either way
    std::vector<Text> files;
    for (const PlannedFile& file : plan.files) files.push_back(file.path);
    EXPECT_EQ(files, c.files);
    EXPECT_EQ(plan.fileFinding, c.finding);
    if (c.keptForVariables) {
      EXPECT_EQ(plan.kept, (std::vector<KeptItem>{{KeptReason::UserVariablesUnknown, c.line, {}}}));
    } else {
      for (const KeptItem& item : plan.kept) EXPECT_NE(item.reason, KeptReason::UserVariablesUnknown);
    }
  }
}

}  // namespace
}  // namespace zc
