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
        <source>What the program reads: hardware sensor readings such as temperatures, fan speeds, voltages, clock frequencies and usage are read locally from this computer's operating system, once a second, only to show them on the homepage and on your cooler's screen. They are not recorded and are never sent anywhere else.</source>
        <translation>What the program reads: hardware sensor readings such as temperatures, fan speeds, voltages, clock frequencies and usage are read locally from this computer's operating system, once a second, only to show them on the homepage and on your cooler's screen. They are not recorded and are never sent anywhere else.</translation>
    </message>
    <message>
        <source>What the program stores: your cooler settings (such as colours, brightness, rotation angle, the sensors you chose and your display, screen and clock settings), your sensor remarks and the media files you add are kept in local files on this computer: bgConfig.ini, sensorRemark.ini and the Background folder, next to the program or in your user data folder. If you turn on Launch on startup, an autostart entry is added for your user account and removed again when you turn it off.</source>
        <translation>What the program stores: your cooler settings (such as colours, brightness, rotation angle, the sensors you chose and your display, screen and clock settings), your sensor remarks and the media files you add are kept in local files on this computer: bgConfig.ini, sensorRemark.ini and the Background folder, next to the program or in your user data folder. If you turn on Launch on startup, an autostart entry is added for your user account and removed again when you turn it off.</translation>
    </message>
    <message>
        <source>What the program sends: pictures, videos, sensor readings and device settings go only to your cooler's screen controller, over its USB cable. Nothing is sent to the maker of the cooler or to anyone else.</source>
        <translation>What the program sends: pictures, videos, sensor readings and device settings go only to your cooler's screen controller, over its USB cable. Nothing is sent to the maker of the cooler or to anyone else.</translation>
    </message>
    <message>
        <source>Web pages: the About Us button opens the maker's web site in your own browser only when you click it; that web site has its own privacy policy.</source>
        <translation>Web pages: the About Us button opens the maker's web site in your own browser only when you click it; that web site has its own privacy policy.</translation>
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
    <name>HwinfoProperty</name>
    <message>
        <source>Title font</source>
        <translation>Title font</translation>
    </message>
    <message>
        <source>Title colour</source>
        <translation>Title colour</translation>
    </message>
    <message>
        <source>Choose sensor</source>
        <translation>Choose sensor</translation>
    </message>
    <message>
        <source>Show on the screen</source>
        <translation>Show on the screen</translation>
    </message>
    <message>
        <source>Value font</source>
        <translation>Value font</translation>
    </message>
    <message>
        <source>Value colour</source>
        <translation>Value colour</translation>
    </message>
</context>
<context>
    <name>HwinfoSelectDialog</name>
    <message>
        <source>Sensor Name</source>
        <translation>Sensor Name</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Remark</source>
        <translation>Remark</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Canncel</source>
        <translation>Cancel</translation>
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
        <source>The device at %1 has its bulk IN pipe on interface %2 and its bulk OUT pipe on interface %3; both must be on one interface.</source>
        <translation>The device at %1 has its bulk IN pipe on interface %2 and its bulk OUT pipe on interface %3; both must be on one interface.</translation>
    </message>
    <message>
        <source>The device at %1 is in use: %2</source>
        <translation>The device at %1 is in use: %2</translation>
    </message>
</context>
<context>
    <name>HomepageDashboard</name>
    <message>
        <source>CPU Package</source>
        <translation>CPU Package</translation>
    </message>
    <message>
        <source>Motherboard</source>
        <translation>Motherboard</translation>
    </message>
    <message>
        <source>Chipset</source>
        <translation>Chipset</translation>
    </message>
    <message>
        <source>CPU Average</source>
        <translation>CPU Average</translation>
    </message>
    <message>
        <source>AIO Pump</source>
        <translation>AIO Pump</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Homepage</source>
        <translation>Homepage</translation>
    </message>
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
    <message>
        <source>Notice</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>You have reached the upload limit (15 media files). To upload new files, please delete some existing files from the media library.</source>
        <translation>You have reached the upload limit (15 media files). To upload new files, please delete some existing files from the media library.</translation>
    </message>
    <message>
        <source>Select a media file</source>
        <translation>Select a media file</translation>
    </message>
    <message>
        <source>Make sure the file you upload is in PNG, JPG, GIF, MP4, or AVI format and is less than 500 MB in size.</source>
        <translation>Make sure the file you upload is in PNG, JPG, GIF, MP4, or AVI format and is less than 500 MB in size.</translation>
    </message>
    <message>
        <source>Upload Media File</source>
        <translation>Upload Media File</translation>
    </message>
    <message>
        <source>Uploading media file, please wait</source>
        <translation>Uploading media file, please wait</translation>
    </message>
    <message>
        <source>No mainboard sensor chip found, so board temperatures and fans are not shown. Loading the board&apos;s sensor driver (for example nct6775 or it87) usually fixes this.</source>
        <translation>No mainboard sensor chip found, so board temperatures and fans are not shown. Loading the board&apos;s sensor driver (for example nct6775 or it87) usually fixes this.</translation>
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
    <name>SimulatorWindow</name>
    <message>
        <source>Simulated screen: %1</source>
        <translation>Simulated screen: %1</translation>
    </message>
    <message>
        <source>Device:</source>
        <translation>Device:</translation>
    </message>
    <message>
        <source>State:</source>
        <translation>State:</translation>
    </message>
    <message>
        <source>Last frame:</source>
        <translation>Last frame:</translation>
    </message>
    <message>
        <source>Frame rate:</source>
        <translation>Frame rate:</translation>
    </message>
    <message>
        <source>Errors:</source>
        <translation>Errors:</translation>
    </message>
    <message>
        <source>Firmware:</source>
        <translation>Firmware:</translation>
    </message>
    <message>
        <source>Faults:</source>
        <translation>Faults:</translation>
    </message>
    <message numerus="yes">
        <source>last image accepted (%n bytes)</source>
        <translation>
            <numerusform>last image accepted (%n byte)</numerusform>
            <numerusform>last image accepted (%n bytes)</numerusform>
        </translation>
    </message>
    <message>
        <source>last image rejected</source>
        <translation>last image rejected</translation>
    </message>
    <message>
        <source>%1, firmware %2 (%3)</source>
        <translation>%1, firmware %2 (%3)</translation>
    </message>
    <message>
        <source>none yet</source>
        <translation>none yet</translation>
    </message>
    <message>
        <source>standby mode on</source>
        <translation>standby mode on</translation>
    </message>
    <message>
        <source>standby mode off</source>
        <translation>standby mode off</translation>
    </message>
    <message>
        <source>brightness 0 (dark)</source>
        <translation>brightness 0 (dark)</translation>
    </message>
    <message>
        <source>brightness %1</source>
        <translation>brightness %1</translation>
    </message>
    <message>
        <source>%1 x %2, %3, %4, %5</source>
        <translation>%1 x %2, %3, %4, %5</translation>
    </message>
    <message numerus="yes">
        <source>%1 fps (peak %2, mean %3), %n frames</source>
        <translation>
            <numerusform>%1 fps (peak %2, mean %3), %n frame</numerusform>
            <numerusform>%1 fps (peak %2, mean %3), %n frames</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 in frame headers, %2 in pictures, %3 in commands, %4 in firmware blocks</source>
        <translation>%1 in frame headers, %2 in pictures, %3 in commands, %4 in firmware blocks</translation>
    </message>
    <message numerus="yes">
        <source>%n blocks, %1 bytes received</source>
        <translation>
            <numerusform>%n block, %1 bytes received</numerusform>
            <numerusform>%n blocks, %1 bytes received</numerusform>
        </translation>
    </message>
    <message>
        <source>Update mode
%1</source>
        <translation>Update mode
%1</translation>
    </message>
    <message>
        <source>Waiting for frames</source>
        <translation>Waiting for frames</translation>
    </message>
    <message>
        <source>Restarting</source>
        <translation>Restarting</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Disconnected</translation>
    </message>
    <message>
        <source>Switched off</source>
        <translation>Switched off</translation>
    </message>
    <message>
        <source>update mode</source>
        <translation>update mode</translation>
    </message>
    <message>
        <source>normal mode</source>
        <translation>normal mode</translation>
    </message>
    <message>
        <source>restarting into update mode</source>
        <translation>restarting into update mode</translation>
    </message>
    <message>
        <source>restarting into normal mode</source>
        <translation>restarting into normal mode</translation>
    </message>
    <message>
        <source>disconnected on purpose</source>
        <translation>disconnected on purpose</translation>
    </message>
    <message>
        <source>switched off</source>
        <translation>switched off</translation>
    </message>
    <message>
        <source>dynamic display</source>
        <translation>dynamic display</translation>
    </message>
    <message>
        <source>digital clock</source>
        <translation>digital clock</translation>
    </message>
    <message>
        <source>analog clock</source>
        <translation>analog clock</translation>
    </message>
    <message>
        <source>display mode %1</source>
        <translation>display mode %1</translation>
    </message>
    <message>
        <source>no replies</source>
        <translation>no replies</translation>
    </message>
    <message>
        <source>replies one byte short</source>
        <translation>replies one byte short</translation>
    </message>
    <message>
        <source>replies with a bad CRC</source>
        <translation>replies with a bad CRC</translation>
    </message>
    <message>
        <source>state "%1"</source>
        <translation>state "%1"</translation>
    </message>
    <message>
        <source>model bytes %1</source>
        <translation>model bytes %1</translation>
    </message>
    <message>
        <source>firmware rejected</source>
        <translation>firmware rejected</translation>
    </message>
    <message numerus="yes">
        <source>vanishes after %n firmware blocks</source>
        <translation>
            <numerusform>vanishes after %n firmware block</numerusform>
            <numerusform>vanishes after %n firmware blocks</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>vanishes after %n frames</source>
        <translation>
            <numerusform>vanishes after %n frame</numerusform>
            <numerusform>vanishes after %n frames</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>stalls after %n frames</source>
        <translation>
            <numerusform>stalls after %n frame</numerusform>
            <numerusform>stalls after %n frames</numerusform>
        </translation>
    </message>
    <message>
        <source>none</source>
        <translation>none</translation>
    </message>
    <message>
        <source>%1; %2</source>
        <translation>%1; %2</translation>
    </message>
    <message>
        <source>, </source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>UsbDevice</name>
    <message>
        <source>This user may not open the screen. Install the rule 70-vortane-screen.rules into /etc/udev/rules.d, run "sudo udevadm control --reload-rules" and "sudo udevadm trigger", then unplug the cooler's USB cable and plug it in again.</source>
        <translation>This user may not open the screen. Install the rule 70-vortane-screen.rules into /etc/udev/rules.d, run "sudo udevadm control --reload-rules" and "sudo udevadm trigger", then unplug the cooler's USB cable and plug it in again.</translation>
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
<context>
    <name>pixScaleDialog</name>
    <message>
        <source>Photo or video cropping</source>
        <translation>Photo or video cropping</translation>
    </message>
    <message>
        <source>For better display quality, please select a ratio before cropping.</source>
        <translation>For better display quality, please select a ratio before cropping.</translation>
    </message>
    <message>
        <source>Fit width</source>
        <translation>Fit width</translation>
    </message>
    <message>
        <source>Fit height</source>
        <translation>Fit height</translation>
    </message>
    <message>
        <source>Rotate 90°</source>
        <translation>Rotate 90°</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>Upload Media File</source>
        <translation>Upload Media File</translation>
    </message>
    <message>
        <source>Uploading media file, please wait</source>
        <translation>Uploading media file, please wait</translation>
    </message>
</context>
</TS>
