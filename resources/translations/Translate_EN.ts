<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Dialog_Privary_Policy</name>
    <message>
        <source>Privacy Policy</source>
        <translation>Privacy Policy</translation>
    </message>
    <message>
        <source>Understand</source>
        <translation>Understand</translation>
    </message>
    <message>
        <source>To protect your privacy, Vortane Screen works entirely on this computer. It has no account, no advertising, no usage statistics and no automatic update check, and it does not use the network.</source>
        <translation>To protect your privacy, Vortane Screen works entirely on this computer. It has no account, no advertising, no usage statistics and no automatic update check, and it does not use the network.</translation>
    </message>
    <message>
        <source>What the program reads: hardware sensor readings such as temperatures, fan speeds, voltages, clock frequencies and usage are read locally from this computer&apos;s operating system, once a second, only to show them on the homepage and on your cooler&apos;s screen. They are not recorded and are never sent anywhere else.</source>
        <translation>What the program reads: hardware sensor readings such as temperatures, fan speeds, voltages, clock frequencies and usage are read locally from this computer&apos;s operating system, once a second, only to show them on the homepage and on your cooler&apos;s screen. They are not recorded and are never sent anywhere else.</translation>
    </message>
    <message>
        <source>What the program stores: your cooler settings (such as colours, brightness, rotation angle, the sensors you chose and your display, screen and clock settings), your sensor remarks and the media files you add are kept in local files on this computer: bgConfig.ini, sensorRemark.ini and the Background folder, next to the program or in your user data folder. If you turn on Launch on startup, an autostart entry is added for your user account and removed again when you turn it off.</source>
        <translation>What the program stores: your cooler settings (such as colours, brightness, rotation angle, the sensors you chose and your display, screen and clock settings), your sensor remarks and the media files you add are kept in local files on this computer: bgConfig.ini, sensorRemark.ini and the Background folder, next to the program or in your user data folder. If you turn on Launch on startup, an autostart entry is added for your user account and removed again when you turn it off.</translation>
    </message>
    <message>
        <source>What the program sends: pictures, videos, sensor readings and device settings go only to your cooler&apos;s screen controller, over its USB cable. Nothing is sent to the maker of the cooler or to anyone else.</source>
        <translation>What the program sends: pictures, videos, sensor readings and device settings go only to your cooler&apos;s screen controller, over its USB cable. Nothing is sent to the maker of the cooler or to anyone else.</translation>
    </message>
    <message>
        <source>Web pages: the About Us button opens the maker&apos;s web site in your own browser only when you click it; that web site has its own privacy policy.</source>
        <translation>Web pages: the About Us button opens the maker&apos;s web site in your own browser only when you click it; that web site has its own privacy policy.</translation>
    </message>
    <message>
        <source>Removing your data: deleting the files and the folder named above removes everything the program has stored.</source>
        <translation>Removing your data: deleting the files and the folder named above removes everything the program has stored.</translation>
    </message>
</context>
<context>
    <name>Dialog_User_Agreement</name>
    <message>
        <source>User Agreement</source>
        <translation>User Agreement</translation>
    </message>
    <message>
        <source>End User License Agreement</source>
        <translation>End User License Agreement</translation>
    </message>
    <message>
        <source>Agree</source>
        <translation>Agree</translation>
    </message>
</context>
<context>
    <name>Dialog_Warn_delete</name>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Delete?</source>
        <translation>Delete?</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
</context>
<context>
    <name>LibusbUsbDevice</name>
    <message>
        <source>USB access is not available.</source>
        <translation>USB access is not available.</translation>
    </message>
    <message>
        <source>The device at %1 has no bulk pipes.</source>
        <translation>The device at %1 has no bulk pipes.</translation>
    </message>
    <message>
        <source>The device at %1 is in use: %2</source>
        <translation>The device at %1 is in use: %2</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Screen Settings</source>
        <translation>Screen Settings</translation>
    </message>
    <message>
        <source>Media Library</source>
        <translation>Media Library</translation>
    </message>
    <message>
        <source>Repeat 1</source>
        <translation>Repeat 1</translation>
    </message>
    <message>
        <source>Repeat</source>
        <translation>Repeat</translation>
    </message>
    <message>
        <source>Shuffle</source>
        <translation>Shuffle</translation>
    </message>
    <message>
        <source>Landscape</source>
        <translation>Landscape</translation>
    </message>
    <message>
        <source>Portrait</source>
        <translation>Portrait</translation>
    </message>
    <message>
        <source>Info Visuals</source>
        <translation>Info Visuals</translation>
    </message>
    <message>
        <source>Clock</source>
        <translation>Clock</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Temperature unit</source>
        <translation>Temperature unit</translation>
    </message>
    <message>
        <source>Launch on startup</source>
        <translation>Launch on startup</translation>
    </message>
    <message>
        <source>Screen</source>
        <translation>Screen</translation>
    </message>
    <message>
        <source>Standby mode</source>
        <translation>Standby mode</translation>
    </message>
    <message>
        <source>The screen will remain on with the boot animation, even when the computer is in sleep, hibernation, or powered off mode.</source>
        <translation>The screen will remain on with the boot animation, even when the computer is in sleep, hibernation, or powered off mode.</translation>
    </message>
    <message>
        <source>App Version</source>
        <translation>App Version</translation>
    </message>
    <message>
        <source>Firmware version</source>
        <translation>Firmware version</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Upload</translation>
    </message>
    <message>
        <source>Privacy Policy</source>
        <translation>Privacy Policy</translation>
    </message>
    <message>
        <source>User Agreement</source>
        <translation>User Agreement</translation>
    </message>
    <message>
        <source>About Us</source>
        <translation>About Us</translation>
    </message>
    <message>
        <source>FAQ</source>
        <translation>FAQ</translation>
    </message>
    <message>
        <source>Homepage</source>
        <translation>Homepage</translation>
    </message>
    <message>
        <source>Fan Speed</source>
        <translation>Fan Speed</translation>
    </message>
    <message>
        <source>Voltage</source>
        <translation>Voltage</translation>
    </message>
    <message>
        <source>Usage</source>
        <translation>Usage</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>lost</source>
        <translation>lost</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Not Connected</source>
        <translation>Not Connected</translation>
    </message>
    <message>
        <source>Select Firmware</source>
        <translation>Select Firmware</translation>
    </message>
    <message>
        <source>Please DO NOT remove the device during the firmware update process.</source>
        <translation>Please DO NOT remove the device during the firmware update process.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>An issue occurred during the upload. Please try again.</source>
        <translation>An issue occurred during the upload. Please try again.</translation>
    </message>
    <message>
        <source>Updated successfully</source>
        <translation>Updated successfully</translation>
    </message>
    <message>
        <source>Your device has been updated and is now using the latest version.</source>
        <translation>Your device has been updated and is now using the latest version.</translation>
    </message>
</context>
<context>
    <name>NoticeDialog</name>
    <message>
        <source>Notice</source>
        <translation>Notice</translation>
    </message>
</context>
<context>
    <name>ProgressDialog</name>
    <message>
        <source>Progress</source>
        <translation>Progress</translation>
    </message>
</context>
<context>
    <name>SimUsbDevice</name>
    <message>
        <source>The path of the simulated screen is too long: %1</source>
        <translation>The path of the simulated screen is too long: %1</translation>
    </message>
    <message>
        <source>Cannot connect to the simulated screen at %1: %2</source>
        <translation>Cannot connect to the simulated screen at %1: %2</translation>
    </message>
</context>
<context>
    <name>UsbDevice</name>
    <message>
        <source>This user may not open the screen. Install the rule 70-vortane-screen.rules into /etc/udev/rules.d, run &quot;sudo udevadm control --reload-rules&quot; and &quot;sudo udevadm trigger&quot;, then unplug the cooler&apos;s USB cable and plug it in again.</source>
        <translation>This user may not open the screen. Install the rule 70-vortane-screen.rules into /etc/udev/rules.d, run &quot;sudo udevadm control --reload-rules&quot; and &quot;sudo udevadm trigger&quot;, then unplug the cooler&apos;s USB cable and plug it in again.</translation>
    </message>
    <message>
        <source>No device at %1.</source>
        <translation>No device at %1.</translation>
    </message>
</context>
<context>
    <name>WinUsbDevice</name>
    <message>
        <source>Cannot open the device at %1 (error %2).</source>
        <translation>Cannot open the device at %1 (error %2).</translation>
    </message>
</context>
</TS>
