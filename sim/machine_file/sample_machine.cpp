#include "sim/machine_file/sample_machine.h"

namespace {

// A dual-head adapter with a mirroring driver between its heads. The first
// head drives a 1280x1024 monitor and has a second, inactive monitor; the
// second drives a 1920x1080 monitor. Both run below their native modes,
// and both list their native resolution at more than one refresh rate, so
// the choice of the EDID's own rate shows. The wallpaper is the family's
// unsized bitmap, with the sized ones beside it. Each monitor's instance key
// names its driver key in "Driver", as Windows writes it, which is how the
// program tells the attached monitor's instance from others of its model.
//
// The two EDID blocks are real ones from the linuxhw/EDID collection
// (CC BY 4.0): Digital/Lenovo/LEN60AA/7406EBD8ABA5 and
// Digital/BenQ/BNQ78A5/238E3E029DCC.
const char kSampleMachine[] = R"json({
  "os": {"major": 5, "minor": 1},
  "user": {"sid": "S-1-5-21-1004336348-1177238915-682003330-1000", "admin": true},
  "modulePath": "C:\\Program Files\\Kestrave\\kestrave.exe",
  "environment": {"windir": "C:\\WINDOWS"},
  "files": [
    "C:\\WINDOWS\\ov.bmp",
    "C:\\WINDOWS\\zqx640h.bmp",
    "C:\\WINDOWS\\zqx800h.bmp",
    "C:\\WINDOWS\\zqx1024h.bmp",
    "C:\\WINDOWS\\zqx1280h.bmp"
  ],
  "directories": ["C:\\WINDOWS"],
  "wallpaper": {"path": "C:\\WINDOWS\\ov.bmp", "readable": true, "settable": true},
  "deviceInstall": {"results": [0], "lastError": 0},
  "messages": {},
  "multipleMonitorApi": true,
  "logFile": {"openable": true, "truncatable": true},
  "adapters": [
    {
      "DeviceName": "\\\\.\\DISPLAY1",
      "DeviceString": "Lumenar LX-4200 Dual Head",
      "StateFlags": 5,
      "DeviceID": "PCI\\VEN_1B3A&DEV_4200&SUBSYS_42001B3A&REV_A1",
      "DeviceKey": "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Video\\{6C2B1D40-93E7-4F5A-8B1E-2D0C4A7F3E91}\\0000",
      "modes": [
        "640x480x16@60", "640x480x32@60", "800x600x16@60", "800x600x32@60", "800x600x32@75",
        "1024x768x16@60", "1024x768x32@60", "1024x768x32@70", "1024x768x32@75",
        "1152x864x32@75", "1280x1024x16@60", "1280x1024x32@60", "1280x1024x32@75"
      ],
      "rawModes": [
        "640x480x16@60", "640x480x32@60", "640x480x32@85", "800x600x16@60", "800x600x32@60",
        "800x600x32@75", "800x600x32@85", "1024x768x16@60", "1024x768x32@60", "1024x768x32@70",
        "1024x768x32@75", "1024x768x32@85", "1152x864x32@75", "1280x1024x16@60",
        "1280x1024x32@60", "1280x1024x32@75", "1280x1024x32@85", "1600x1200x32@60"
      ],
      "current": "1024x768x32@60",
      "registry": "1024x768x32@60",
      "changeResults": {},
      "monitors": [
        {
          "DeviceName": "\\\\.\\DISPLAY1\\Monitor0",
          "DeviceString": "Plug and Play Monitor",
          "StateFlags": 3,
          "DeviceID": "MONITOR\\LEN60AA\\{4D36E96E-E325-11CE-BFC1-08002BE10318}\\0001",
          "DeviceKey": "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Class\\{4D36E96E-E325-11CE-BFC1-08002BE10318}\\0001"
        },
        {
          "DeviceName": "\\\\.\\DISPLAY1\\Monitor1",
          "DeviceString": "Default Monitor",
          "StateFlags": 2,
          "DeviceID": "MONITOR\\Default_Monitor\\{4D36E96E-E325-11CE-BFC1-08002BE10318}\\0003",
          "DeviceKey": "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Class\\{4D36E96E-E325-11CE-BFC1-08002BE10318}\\0003"
        }
      ]
    },
    {
      "DeviceName": "\\\\.\\DISPLAYV1",
      "DeviceString": "Remote Mirror Driver",
      "StateFlags": 8,
      "DeviceID": "",
      "DeviceKey": "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Video\\{A3F09C12-5E8B-4C71-9D24-7B6E1F0A8C35}\\0000",
      "modes": [],
      "current": null,
      "registry": null
    },
    {
      "DeviceName": "\\\\.\\DISPLAY2",
      "DeviceString": "Lumenar LX-4200 Dual Head",
      "StateFlags": 1,
      "DeviceID": "PCI\\VEN_1B3A&DEV_4200&SUBSYS_42001B3A&REV_A1",
      "DeviceKey": "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Video\\{6C2B1D40-93E7-4F5A-8B1E-2D0C4A7F3E91}\\0001",
      "modes": [
        "800x600x32@60", "800x600x32@75", "1024x768x32@60", "1024x768x32@75",
        "1280x720x32@60", "1280x1024x32@60", "1280x1024x32@75", "1600x900x32@60",
        "1680x1050x32@60", "1920x1080x32@50", "1920x1080x32@60"
      ],
      "current": "1280x1024x32@60",
      "registry": "1280x1024x32@60",
      "changeResults": {},
      "monitors": [
        {
          "DeviceName": "\\\\.\\DISPLAY2\\Monitor0",
          "DeviceString": "Plug and Play Monitor",
          "StateFlags": 3,
          "DeviceID": "MONITOR\\BNQ78A5\\{4D36E96E-E325-11CE-BFC1-08002BE10318}\\0002",
          "DeviceKey": "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Class\\{4D36E96E-E325-11CE-BFC1-08002BE10318}\\0002"
        }
      ]
    }
  ],
  "registry": {
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run": {},
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\LEN60AA\\5&2b1f07c3&0&10000080&01&00": {
      "Driver": "{4D36E96E-E325-11CE-BFC1-08002BE10318}\\0001"
    },
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\LEN60AA\\5&2b1f07c3&0&10000080&01&00\\Device Parameters": {
      "EDID": "hex:00,ff,ff,ff,ff,ff,ff,00,30,ae,aa,60,01,01,01,01,29,1a,01,03,80,26,1e,78,2a,76,05,a5,55,4e,a1,27,0f,50,54,bd,ef,00,71,4f,81,80,81,8a,81,8c,01,01,01,01,01,01,01,01,30,2a,00,98,51,00,2a,40,30,70,13,00,78,2d,11,00,00,1e,00,00,00,ff,00,56,31,4c,39,38,32,30,37,0a,20,20,20,20,00,00,00,fd,00,32,4c,1e,53,11,00,0a,20,20,20,20,20,20,00,00,00,fc,00,4c,45,4e,20,4c,54,31,39,31,33,70,41,0a,00,1d"
    },
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\BNQ78A5\\5&2b1f07c3&0&10000081&01&00": {
      "Driver": "{4D36E96E-E325-11CE-BFC1-08002BE10318}\\0002"
    },
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\BNQ78A5\\5&2b1f07c3&0&10000081&01&00\\Device Parameters": {
      "EDID": "hex:00,ff,ff,ff,ff,ff,ff,00,09,d1,a5,78,45,54,00,00,1c,1b,01,03,80,35,1e,78,2e,b7,d5,a4,56,54,9f,27,0c,50,54,a5,6b,80,81,00,81,c0,81,80,a9,c0,b3,00,d1,c0,01,01,01,01,02,3a,80,18,71,38,2d,40,58,2c,45,00,13,2a,21,00,00,1e,00,00,00,ff,00,44,37,48,30,30,34,30,33,30,31,39,0a,20,00,00,00,fd,00,32,4c,1e,53,11,00,0a,20,20,20,20,20,20,00,00,00,fc,00,42,65,6e,51,20,47,4c,32,34,35,30,0a,20,00,f1"
    },
    "HKEY_CURRENT_USER\\Control Panel\\Desktop": {
      "Wallpaper": "C:\\WINDOWS\\ov.bmp"
    },
    "HKEY_USERS\\.DEFAULT\\Control Panel\\Desktop": {
      "Wallpaper": ""
    }
  },
  "faults": []
})json";

}  // namespace

Json SampleMachine() { return Json::parse(kSampleMachine); }
