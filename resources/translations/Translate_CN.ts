<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>Dialog_Privary_Policy</name>
    <message>
        <source>Privacy Policy</source>
        <translation>隐私政策</translation>
    </message>
    <message>
        <source>Understand</source>
        <translation>我已了解</translation>
    </message>
    <message>
        <source>To protect your privacy, Vortane Screen works entirely on this computer. It has no account, no advertising, no usage statistics and no automatic update check, and it does not use the network.</source>
        <translation>为保护您的隐私，Vortane Screen 完全在本机上运行。它没有账户、没有广告、不收集使用统计、不自动检查更新，也不使用网络。</translation>
    </message>
    <message>
        <source>What the program reads: hardware sensor readings such as temperatures, fan speeds, voltages, clock frequencies and usage are read locally from this computer's operating system, once a second, only to show them on the homepage and on your cooler's screen. They are not recorded and are never sent anywhere else.</source>
        <translation>程序读取的内容：温度、风扇转速、电压、时钟频率和占用率等硬件传感器读数，每秒一次从本机操作系统本地读取，仅用于在主页和您的散热器屏幕上显示。这些读数不会被记录，也绝不会发送到其他任何地方。</translation>
    </message>
    <message>
        <source>What the program stores: your cooler settings (such as colours, brightness, rotation angle, the sensors you chose and your display, screen and clock settings), your sensor remarks and the media files you add are kept in local files on this computer: bgConfig.ini, sensorRemark.ini and the Background folder, next to the program or in your user data folder. If you turn on Launch on startup, an autostart entry is added for your user account and removed again when you turn it off.</source>
        <translation>程序存储的内容：您的散热器设置（例如颜色、亮度、旋转角度、所选传感器以及显示、屏幕和时钟设置）、您的传感器备注和您添加的媒体文件，都保存在本机的本地文件中：bgConfig.ini、sensorRemark.ini 和 Background 文件夹，位于程序旁边或您的用户数据文件夹中。如果您开启“开机启动”，程序会为您的用户账户添加一个自启动项，关闭该设置后会将其删除。</translation>
    </message>
    <message>
        <source>What the program sends: pictures, videos, sensor readings and device settings go only to your cooler's screen controller, over its USB cable. Nothing is sent to the maker of the cooler or to anyone else.</source>
        <translation>程序发送的内容：图片、视频、传感器读数和设备设置只通过 USB 线发送到您散热器的屏幕控制器。不会向散热器制造商或任何其他人发送任何内容。</translation>
    </message>
    <message>
        <source>Web pages: the About Us button opens the maker's web site in your own browser only when you click it; that web site has its own privacy policy.</source>
        <translation>网页：只有在您点击“关于我们”按钮时，程序才会在您自己的浏览器中打开制造商的网站；该网站有其自己的隐私政策。</translation>
    </message>
    <message>
        <source>Removing your data: deleting the files and the folder named above removes everything the program has stored.</source>
        <translation>删除您的数据：删除上述文件和文件夹即可移除程序存储的全部内容。</translation>
    </message>
</context>
<context>
    <name>Dialog_User_Agreement</name>
    <message>
        <source>User Agreement</source>
        <translation>用户协议</translation>
    </message>
    <message>
        <source>End User License Agreement</source>
        <translation>最终用户许可协议</translation>
    </message>
    <message>
        <source>Agree</source>
        <translation>同意</translation>
    </message>
</context>
<context>
    <name>Dialog_Warn_delete</name>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Delete?</source>
        <translation>确定删除？</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
</context>
<context>
    <name>HwinfoProperty</name>
    <message>
        <source>Title font</source>
        <translation>标题字体</translation>
    </message>
    <message>
        <source>Title colour</source>
        <translation>标题颜色</translation>
    </message>
    <message>
        <source>Choose sensor</source>
        <translation>选择传感器</translation>
    </message>
    <message>
        <source>Show on the screen</source>
        <translation>在屏幕上显示</translation>
    </message>
    <message>
        <source>Value font</source>
        <translation>数值字体</translation>
    </message>
    <message>
        <source>Value colour</source>
        <translation>数值颜色</translation>
    </message>
</context>
<context>
    <name>HwinfoSelectDialog</name>
    <message>
        <source>Sensor Name</source>
        <translation>传感器名称</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>数值</translation>
    </message>
    <message>
        <source>Remark</source>
        <translation>备注</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Canncel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>LibusbUsbDevice</name>
    <message>
        <source>USB access is not available.</source>
        <translation>无法访问 USB。</translation>
    </message>
    <message>
        <source>The device at %1 has no bulk pipes.</source>
        <translation>%1 处的设备没有批量传输管道。</translation>
    </message>
    <message>
        <source>The device at %1 has its bulk IN pipe on interface %2 and its bulk OUT pipe on interface %3; both must be on one interface.</source>
        <translation>%1 处的设备的批量输入管道在接口 %2 上，批量输出管道在接口 %3 上；两者必须位于同一接口。</translation>
    </message>
    <message>
        <source>The device at %1 is in use: %2</source>
        <translation>%1 处的设备正被占用：%2</translation>
    </message>
</context>
<context>
    <name>HomepageDashboard</name>
    <message>
        <source>CPU Package</source>
        <translation>CPU 封装</translation>
    </message>
    <message>
        <source>Motherboard</source>
        <translation>主板</translation>
    </message>
    <message>
        <source>Chipset</source>
        <translation>芯片组</translation>
    </message>
    <message>
        <source>CPU Average</source>
        <translation>CPU 平均</translation>
    </message>
    <message>
        <source>AIO Pump</source>
        <translation>水冷泵</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Homepage</source>
        <translation>首页</translation>
    </message>
    <message>
        <source>Screen Settings</source>
        <translation>屏幕设置</translation>
    </message>
    <message>
        <source>Media Library</source>
        <translation>媒体库</translation>
    </message>
    <message>
        <source>Repeat 1</source>
        <translation>单个循环</translation>
    </message>
    <message>
        <source>Repeat</source>
        <translation>列表循环</translation>
    </message>
    <message>
        <source>Shuffle</source>
        <translation>随机播放</translation>
    </message>
    <message>
        <source>Landscape</source>
        <translation>横屏</translation>
    </message>
    <message>
        <source>Portrait</source>
        <translation>竖屏</translation>
    </message>
    <message>
        <source>Info Visuals</source>
        <translation>信息显示</translation>
    </message>
    <message>
        <source>Clock</source>
        <translation>时钟</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>Temperature unit</source>
        <translation>温度单位</translation>
    </message>
    <message>
        <source>Launch on startup</source>
        <translation>开机启动</translation>
    </message>
    <message>
        <source>Screen</source>
        <translation>屏幕</translation>
    </message>
    <message>
        <source>Standby mode</source>
        <translation>待机模式</translation>
    </message>
    <message>
        <source>The screen will remain on with the boot animation, even when the computer is in sleep, hibernation, or powered off mode.</source>
        <translation>即使电脑处于睡眠、休眠或关机状态，屏幕也会保持点亮并显示开机动画。</translation>
    </message>
    <message>
        <source>App Version</source>
        <translation>应用版本</translation>
    </message>
    <message>
        <source>Firmware version</source>
        <translation>固件版本</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>上传</translation>
    </message>
    <message>
        <source>Privacy Policy</source>
        <translation>隐私政策</translation>
    </message>
    <message>
        <source>User Agreement</source>
        <translation>用户协议</translation>
    </message>
    <message>
        <source>About Us</source>
        <translation>关于我们</translation>
    </message>
    <message>
        <source>FAQ</source>
        <translation>常见问题</translation>
    </message>
    <message>
        <source>Fan Speed</source>
        <translation>风扇转速</translation>
    </message>
    <message>
        <source>Voltage</source>
        <translation>电压</translation>
    </message>
    <message>
        <source>Usage</source>
        <translation>占用率</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>频率</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>lost</source>
        <translation> 丢失</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Not Connected</source>
        <translation>未连接</translation>
    </message>
    <message>
        <source>Select Firmware</source>
        <translation>选择固件</translation>
    </message>
    <message>
        <source>Please DO NOT remove the device during the firmware update process.</source>
        <translation>固件更新过程中请勿移除设备。</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>An issue occurred during the upload. Please try again.</source>
        <translation>上传过程中出现问题，请重试。</translation>
    </message>
    <message>
        <source>Updated successfully</source>
        <translation>更新成功</translation>
    </message>
    <message>
        <source>Your device has been updated and is now using the latest version.</source>
        <translation>设备已更新，现在使用的是最新版本。</translation>
    </message>
    <message>
        <source>Notice</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>You have reached the upload limit (15 media files). To upload new files, please delete some existing files from the media library.</source>
        <translation>已达到上传上限（15 个媒体文件）。如需上传新文件，请先从媒体库中删除部分现有文件。</translation>
    </message>
    <message>
        <source>Select a media file</source>
        <translation>选择媒体文件</translation>
    </message>
    <message>
        <source>Make sure the file you upload is in PNG, JPG, GIF, MP4, or AVI format and is less than 500 MB in size.</source>
        <translation>请确保上传的文件为 PNG、JPG、GIF、MP4 或 AVI 格式，且大小小于 500 MB。</translation>
    </message>
    <message>
        <source>Upload Media File</source>
        <translation>上传媒体文件</translation>
    </message>
    <message>
        <source>Uploading media file, please wait</source>
        <translation>正在上传媒体文件，请稍候</translation>
    </message>
    <message>
        <source>No mainboard sensor chip found, so board temperatures and fans are not shown. Loading the board&apos;s sensor driver (for example nct6775 or it87) usually fixes this.</source>
        <translation>未找到主板传感器芯片，因此不显示主板温度和风扇。加载主板的传感器驱动（例如 nct6775 或 it87）通常可以解决此问题。</translation>
    </message>
</context>
<context>
    <name>NoticeDialog</name>
    <message>
        <source>Notice</source>
        <translation>提示</translation>
    </message>
</context>
<context>
    <name>ProgressDialog</name>
    <message>
        <source>Progress</source>
        <translation>进度</translation>
    </message>
</context>
<context>
    <name>SimUsbDevice</name>
    <message>
        <source>The path of the simulated screen is too long: %1</source>
        <translation>模拟屏幕的路径过长：%1</translation>
    </message>
    <message>
        <source>Cannot connect to the simulated screen at %1: %2</source>
        <translation>无法连接到位于 %1 的模拟屏幕：%2</translation>
    </message>
</context>
<context>
    <name>SimulatorWindow</name>
    <message>
        <source>Simulated screen: %1</source>
        <translation>模拟屏幕：%1</translation>
    </message>
    <message>
        <source>Device:</source>
        <translation>设备：</translation>
    </message>
    <message>
        <source>State:</source>
        <translation>状态：</translation>
    </message>
    <message>
        <source>Last frame:</source>
        <translation>最后一帧：</translation>
    </message>
    <message>
        <source>Frame rate:</source>
        <translation>帧率：</translation>
    </message>
    <message>
        <source>Errors:</source>
        <translation>错误：</translation>
    </message>
    <message>
        <source>Firmware:</source>
        <translation>固件：</translation>
    </message>
    <message>
        <source>Faults:</source>
        <translation>故障模拟：</translation>
    </message>
    <message numerus="yes">
        <source>last image accepted (%n bytes)</source>
        <translation>
            <numerusform>上一个映像已接受（%n 字节）</numerusform>
        </translation>
    </message>
    <message>
        <source>last image rejected</source>
        <translation>上一个映像被拒绝</translation>
    </message>
    <message>
        <source>%1, firmware %2 (%3)</source>
        <translation>%1，固件 %2（%3）</translation>
    </message>
    <message>
        <source>none yet</source>
        <translation>尚无</translation>
    </message>
    <message>
        <source>standby mode on</source>
        <translation>待机模式开启</translation>
    </message>
    <message>
        <source>standby mode off</source>
        <translation>待机模式关闭</translation>
    </message>
    <message>
        <source>brightness 0 (dark)</source>
        <translation>亮度 0（熄屏）</translation>
    </message>
    <message>
        <source>brightness %1</source>
        <translation>亮度 %1</translation>
    </message>
    <message>
        <source>%1 x %2, %3, %4, %5</source>
        <translation>%1 × %2，%3，%4，%5</translation>
    </message>
    <message numerus="yes">
        <source>%1 fps (peak %2, mean %3), %n frames</source>
        <translation>
            <numerusform>%1 帧/秒（峰值 %2，平均 %3），共 %n 帧</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 in frame headers, %2 in pictures, %3 in commands, %4 in firmware blocks</source>
        <translation>帧头 %1 个，图像 %2 个，命令 %3 个，固件块 %4 个</translation>
    </message>
    <message numerus="yes">
        <source>%n blocks, %1 bytes received</source>
        <translation>
            <numerusform>已接收 %n 个块，%1 字节</numerusform>
        </translation>
    </message>
    <message>
        <source>Update mode
%1</source>
        <translation>升级模式
%1</translation>
    </message>
    <message>
        <source>Waiting for frames</source>
        <translation>等待画面帧</translation>
    </message>
    <message>
        <source>Restarting</source>
        <translation>正在重启</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>已断开</translation>
    </message>
    <message>
        <source>Switched off</source>
        <translation>已关闭</translation>
    </message>
    <message>
        <source>update mode</source>
        <translation>升级模式</translation>
    </message>
    <message>
        <source>normal mode</source>
        <translation>正常模式</translation>
    </message>
    <message>
        <source>restarting into update mode</source>
        <translation>正在重启进入升级模式</translation>
    </message>
    <message>
        <source>restarting into normal mode</source>
        <translation>正在重启进入正常模式</translation>
    </message>
    <message>
        <source>disconnected on purpose</source>
        <translation>已按设定断开</translation>
    </message>
    <message>
        <source>switched off</source>
        <translation>已关闭</translation>
    </message>
    <message>
        <source>dynamic display</source>
        <translation>动态显示</translation>
    </message>
    <message>
        <source>digital clock</source>
        <translation>数字时钟</translation>
    </message>
    <message>
        <source>analog clock</source>
        <translation>指针时钟</translation>
    </message>
    <message>
        <source>display mode %1</source>
        <translation>显示模式 %1</translation>
    </message>
    <message>
        <source>no replies</source>
        <translation>不应答</translation>
    </message>
    <message>
        <source>replies one byte short</source>
        <translation>应答少一个字节</translation>
    </message>
    <message>
        <source>replies with a bad CRC</source>
        <translation>应答 CRC 错误</translation>
    </message>
    <message>
        <source>state "%1"</source>
        <translation>状态“%1”</translation>
    </message>
    <message>
        <source>model bytes %1</source>
        <translation>型号字节 %1</translation>
    </message>
    <message>
        <source>firmware rejected</source>
        <translation>拒绝固件</translation>
    </message>
    <message numerus="yes">
        <source>vanishes after %n firmware blocks</source>
        <translation>
            <numerusform>%n 个固件块后消失</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>vanishes after %n frames</source>
        <translation>
            <numerusform>%n 帧后消失</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>stalls after %n frames</source>
        <translation>
            <numerusform>%n 帧后停止接收</numerusform>
        </translation>
    </message>
    <message>
        <source>none</source>
        <translation>无</translation>
    </message>
    <message>
        <source>%1; %2</source>
        <translation>%1；%2</translation>
    </message>
    <message>
        <source>, </source>
        <translation>、</translation>
    </message>
</context>
<context>
    <name>UsbDevice</name>
    <message>
        <source>This user may not open the screen. Install the rule 70-vortane-screen.rules into /etc/udev/rules.d, run "sudo udevadm control --reload-rules" and "sudo udevadm trigger", then unplug the cooler's USB cable and plug it in again.</source>
        <translation>当前用户无权打开屏幕。请将规则文件 70-vortane-screen.rules 安装到 /etc/udev/rules.d，运行“sudo udevadm control --reload-rules”和“sudo udevadm trigger”，然后拔下散热器的 USB 线并重新插上。</translation>
    </message>
    <message>
        <source>No device at %1.</source>
        <translation>%1 处没有设备。</translation>
    </message>
</context>
<context>
    <name>WinUsbDevice</name>
    <message>
        <source>Cannot open the device at %1 (error %2).</source>
        <translation>无法打开 %1 处的设备（错误 %2）。</translation>
    </message>
</context>
<context>
    <name>pixScaleDialog</name>
    <message>
        <source>Photo or video cropping</source>
        <translation>照片或视频裁剪</translation>
    </message>
    <message>
        <source>For better display quality, please select a ratio before cropping.</source>
        <translation>为获得更好的显示效果，请在裁剪前选择比例。</translation>
    </message>
    <message>
        <source>Fit width</source>
        <translation>适应宽度</translation>
    </message>
    <message>
        <source>Fit height</source>
        <translation>适应高度</translation>
    </message>
    <message>
        <source>Rotate 90°</source>
        <translation>旋转 90°</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>Upload Media File</source>
        <translation>上传媒体文件</translation>
    </message>
    <message>
        <source>Uploading media file, please wait</source>
        <translation>正在上传媒体文件，请稍候</translation>
    </message>
</context>
</TS>
