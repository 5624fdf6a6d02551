<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko_KR">
<context>
    <name>Dialog_Privary_Policy</name>
    <message>
        <source>Privacy Policy</source>
        <translation>개인정보 처리방침</translation>
    </message>
    <message>
        <source>Understand</source>
        <translation>확인했습니다</translation>
    </message>
    <message>
        <source>To protect your privacy, Vortane Screen works entirely on this computer. It has no account, no advertising, no usage statistics and no automatic update check, and it does not use the network.</source>
        <translation>사용자의 개인정보를 보호하기 위해 Vortane Screen은 전적으로 이 컴퓨터에서만 작동합니다. 계정, 광고, 사용 통계, 자동 업데이트 확인이 없으며 네트워크를 사용하지 않습니다.</translation>
    </message>
    <message>
        <source>What the program reads: hardware sensor readings such as temperatures, fan speeds, voltages, clock frequencies and usage are read locally from this computer's operating system, once a second, only to show them on the homepage and on your cooler's screen. They are not recorded and are never sent anywhere else.</source>
        <translation>프로그램이 읽는 정보: 온도, 팬 속도, 전압, 클럭 주파수, 사용률 등 하드웨어 센서 값은 이 컴퓨터의 운영 체제에서 1초에 한 번 로컬로 읽으며, 홈 화면과 쿨러 화면에 표시하는 용도로만 사용됩니다. 이 값은 기록되지 않으며 다른 곳으로 전송되지 않습니다.</translation>
    </message>
    <message>
        <source>What the program stores: your cooler settings (such as colours, brightness, rotation angle, the sensors you chose and your display, screen and clock settings), your sensor remarks and the media files you add are kept in local files on this computer: bgConfig.ini, sensorRemark.ini and the Background folder, next to the program or in your user data folder. If you turn on Launch on startup, an autostart entry is added for your user account and removed again when you turn it off.</source>
        <translation>프로그램이 저장하는 정보: 쿨러 설정(색상, 밝기, 회전 각도, 선택한 센서, 디스플레이·화면·시계 설정 등), 센서 메모, 추가한 미디어 파일은 이 컴퓨터의 로컬 파일인 bgConfig.ini, sensorRemark.ini 및 Background 폴더에 저장되며, 위치는 프로그램 옆 또는 사용자 데이터 폴더입니다. '시작 시 실행'을 켜면 사용자 계정에 자동 실행 항목이 추가되고, 끄면 다시 삭제됩니다.</translation>
    </message>
    <message>
        <source>What the program sends: pictures, videos, sensor readings and device settings go only to your cooler's screen controller, over its USB cable. Nothing is sent to the maker of the cooler or to anyone else.</source>
        <translation>프로그램이 보내는 정보: 사진, 동영상, 센서 값, 장치 설정은 USB 케이블을 통해 쿨러의 화면 컨트롤러로만 전송됩니다. 쿨러 제조사나 그 밖의 누구에게도 아무것도 전송되지 않습니다.</translation>
    </message>
    <message>
        <source>Web pages: the About Us button opens the maker's web site in your own browser only when you click it; that web site has its own privacy policy.</source>
        <translation>웹 페이지: '회사 소개' 버튼은 클릭할 때에만 사용자의 브라우저에서 제조사 웹사이트를 엽니다. 해당 웹사이트에는 자체 개인정보 처리방침이 적용됩니다.</translation>
    </message>
    <message>
        <source>Removing your data: deleting the files and the folder named above removes everything the program has stored.</source>
        <translation>데이터 삭제: 위에 적힌 파일과 폴더를 삭제하면 프로그램이 저장한 모든 내용이 제거됩니다.</translation>
    </message>
</context>
<context>
    <name>Dialog_User_Agreement</name>
    <message>
        <source>User Agreement</source>
        <translation>사용자 계약</translation>
    </message>
    <message>
        <source>End User License Agreement</source>
        <translation>최종 사용자 사용권 계약</translation>
    </message>
    <message>
        <source>Agree</source>
        <translation>동의</translation>
    </message>
</context>
<context>
    <name>Dialog_Warn_delete</name>
    <message>
        <source>Warning</source>
        <translation>경고</translation>
    </message>
    <message>
        <source>Delete?</source>
        <translation>삭제하시겠습니까?</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>삭제</translation>
    </message>
</context>
<context>
    <name>HwinfoProperty</name>
    <message>
        <source>Title font</source>
        <translation>제목 글꼴</translation>
    </message>
    <message>
        <source>Title colour</source>
        <translation>제목 색상</translation>
    </message>
    <message>
        <source>Choose sensor</source>
        <translation>센서 선택</translation>
    </message>
    <message>
        <source>Show on the screen</source>
        <translation>화면에 표시</translation>
    </message>
    <message>
        <source>Value font</source>
        <translation>값 글꼴</translation>
    </message>
    <message>
        <source>Value colour</source>
        <translation>값 색상</translation>
    </message>
</context>
<context>
    <name>HwinfoSelectDialog</name>
    <message>
        <source>Sensor Name</source>
        <translation>센서 이름</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>값</translation>
    </message>
    <message>
        <source>Remark</source>
        <translation>비고</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>확인</translation>
    </message>
    <message>
        <source>Canncel</source>
        <translation>취소</translation>
    </message>
</context>
<context>
    <name>LibusbUsbDevice</name>
    <message>
        <source>USB access is not available.</source>
        <translation>USB에 접근할 수 없습니다.</translation>
    </message>
    <message>
        <source>The device at %1 has no bulk pipes.</source>
        <translation>%1의 장치에 벌크 파이프가 없습니다.</translation>
    </message>
    <message>
        <source>The device at %1 has its bulk IN pipe on interface %2 and its bulk OUT pipe on interface %3; both must be on one interface.</source>
        <translation>%1의 장치는 벌크 입력 파이프가 인터페이스 %2에, 벌크 출력 파이프가 인터페이스 %3에 있습니다. 두 파이프는 같은 인터페이스에 있어야 합니다.</translation>
    </message>
    <message>
        <source>The device at %1 is in use: %2</source>
        <translation>%1의 장치가 사용 중입니다: %2</translation>
    </message>
</context>
<context>
    <name>HomepageDashboard</name>
    <message>
        <source>CPU Package</source>
        <translation>CPU 패키지</translation>
    </message>
    <message>
        <source>Motherboard</source>
        <translation>메인보드</translation>
    </message>
    <message>
        <source>Chipset</source>
        <translation>칩셋</translation>
    </message>
    <message>
        <source>CPU Average</source>
        <translation>CPU 평균</translation>
    </message>
    <message>
        <source>AIO Pump</source>
        <translation>AIO 펌프</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Homepage</source>
        <translation>홈</translation>
    </message>
    <message>
        <source>Screen Settings</source>
        <translation>화면 설정</translation>
    </message>
    <message>
        <source>Media Library</source>
        <translation>미디어 라이브러리</translation>
    </message>
    <message>
        <source>Repeat 1</source>
        <translation>한 항목 반복</translation>
    </message>
    <message>
        <source>Repeat</source>
        <translation>반복</translation>
    </message>
    <message>
        <source>Shuffle</source>
        <translation>무작위 재생</translation>
    </message>
    <message>
        <source>Landscape</source>
        <translation>가로</translation>
    </message>
    <message>
        <source>Portrait</source>
        <translation>세로</translation>
    </message>
    <message>
        <source>Info Visuals</source>
        <translation>정보 표시</translation>
    </message>
    <message>
        <source>Clock</source>
        <translation>시계</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>언어</translation>
    </message>
    <message>
        <source>Temperature unit</source>
        <translation>온도 단위</translation>
    </message>
    <message>
        <source>Launch on startup</source>
        <translation>시작 시 실행</translation>
    </message>
    <message>
        <source>Screen</source>
        <translation>화면</translation>
    </message>
    <message>
        <source>Standby mode</source>
        <translation>대기 모드</translation>
    </message>
    <message>
        <source>The screen will remain on with the boot animation, even when the computer is in sleep, hibernation, or powered off mode.</source>
        <translation>컴퓨터가 절전, 최대 절전 또는 전원 꺼짐 상태일 때에도 화면은 부팅 애니메이션을 표시하며 켜진 상태로 유지됩니다.</translation>
    </message>
    <message>
        <source>App Version</source>
        <translation>앱 버전</translation>
    </message>
    <message>
        <source>Firmware version</source>
        <translation>펌웨어 버전</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>업로드</translation>
    </message>
    <message>
        <source>Privacy Policy</source>
        <translation>개인정보 처리방침</translation>
    </message>
    <message>
        <source>User Agreement</source>
        <translation>사용자 약관</translation>
    </message>
    <message>
        <source>About Us</source>
        <translation>회사 소개</translation>
    </message>
    <message>
        <source>FAQ</source>
        <translation>자주 묻는 질문</translation>
    </message>
    <message>
        <source>Fan Speed</source>
        <translation>팬 속도</translation>
    </message>
    <message>
        <source>Voltage</source>
        <translation>전압</translation>
    </message>
    <message>
        <source>Usage</source>
        <translation>사용률</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>주파수</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>경고</translation>
    </message>
    <message>
        <source>lost</source>
        <translation> 파일이 없습니다</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>설정</translation>
    </message>
    <message>
        <source>Not Connected</source>
        <translation>연결되지 않음</translation>
    </message>
    <message>
        <source>Select Firmware</source>
        <translation>펌웨어 선택</translation>
    </message>
    <message>
        <source>Please DO NOT remove the device during the firmware update process.</source>
        <translation>펌웨어 업데이트 중에는 장치를 분리하지 마십시오.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>오류</translation>
    </message>
    <message>
        <source>An issue occurred during the upload. Please try again.</source>
        <translation>업로드 중 문제가 발생했습니다. 다시 시도해 주십시오.</translation>
    </message>
    <message>
        <source>Updated successfully</source>
        <translation>업데이트 완료</translation>
    </message>
    <message>
        <source>Your device has been updated and is now using the latest version.</source>
        <translation>장치가 업데이트되어 최신 버전을 사용하고 있습니다.</translation>
    </message>
    <message>
        <source>Notice</source>
        <translation>알림</translation>
    </message>
    <message>
        <source>You have reached the upload limit (15 media files). To upload new files, please delete some existing files from the media library.</source>
        <translation>업로드 한도(미디어 파일 15개)에 도달했습니다. 새 파일을 업로드하려면 미디어 라이브러리에서 기존 파일을 일부 삭제해 주십시오.</translation>
    </message>
    <message>
        <source>Select a media file</source>
        <translation>미디어 파일 선택</translation>
    </message>
    <message>
        <source>Make sure the file you upload is in PNG, JPG, GIF, MP4, or AVI format and is less than 500 MB in size.</source>
        <translation>업로드하는 파일이 PNG, JPG, GIF, MP4 또는 AVI 형식이며 크기가 500MB 미만인지 확인해 주십시오.</translation>
    </message>
    <message>
        <source>Upload Media File</source>
        <translation>미디어 파일 업로드</translation>
    </message>
    <message>
        <source>Uploading media file, please wait</source>
        <translation>미디어 파일을 업로드하는 중입니다. 잠시 기다려 주십시오</translation>
    </message>
    <message>
        <source>No mainboard sensor chip found, so board temperatures and fans are not shown. Loading the board&apos;s sensor driver (for example nct6775 or it87) usually fixes this.</source>
        <translation>메인보드 센서 칩을 찾을 수 없어 보드 온도와 팬이 표시되지 않습니다. 보드의 센서 드라이버(예: nct6775 또는 it87)를 불러오면 대개 해결됩니다.</translation>
    </message>
</context>
<context>
    <name>NoticeDialog</name>
    <message>
        <source>Notice</source>
        <translation>알림</translation>
    </message>
</context>
<context>
    <name>ProgressDialog</name>
    <message>
        <source>Progress</source>
        <translation>진행 상황</translation>
    </message>
</context>
<context>
    <name>SimUsbDevice</name>
    <message>
        <source>The path of the simulated screen is too long: %1</source>
        <translation>시뮬레이션 화면의 경로가 너무 깁니다: %1</translation>
    </message>
    <message>
        <source>Cannot connect to the simulated screen at %1: %2</source>
        <translation>%1의 시뮬레이션 화면에 연결할 수 없습니다: %2</translation>
    </message>
</context>
<context>
    <name>SimulatorWindow</name>
    <message>
        <source>Simulated screen: %1</source>
        <translation>시뮬레이션 화면: %1</translation>
    </message>
    <message>
        <source>Device:</source>
        <translation>장치:</translation>
    </message>
    <message>
        <source>State:</source>
        <translation>상태:</translation>
    </message>
    <message>
        <source>Last frame:</source>
        <translation>마지막 프레임:</translation>
    </message>
    <message>
        <source>Frame rate:</source>
        <translation>프레임 속도:</translation>
    </message>
    <message>
        <source>Errors:</source>
        <translation>오류:</translation>
    </message>
    <message>
        <source>Firmware:</source>
        <translation>펌웨어:</translation>
    </message>
    <message>
        <source>Faults:</source>
        <translation>모의 오류:</translation>
    </message>
    <message numerus="yes">
        <source>last image accepted (%n bytes)</source>
        <translation>
            <numerusform>마지막 이미지 수락됨(%n바이트)</numerusform>
        </translation>
    </message>
    <message>
        <source>last image rejected</source>
        <translation>마지막 이미지 거부됨</translation>
    </message>
    <message>
        <source>%1, firmware %2 (%3)</source>
        <translation>%1, 펌웨어 %2 (%3)</translation>
    </message>
    <message>
        <source>none yet</source>
        <translation>아직 없음</translation>
    </message>
    <message>
        <source>standby mode on</source>
        <translation>대기 모드 켜짐</translation>
    </message>
    <message>
        <source>standby mode off</source>
        <translation>대기 모드 꺼짐</translation>
    </message>
    <message>
        <source>brightness 0 (dark)</source>
        <translation>밝기 0(꺼짐)</translation>
    </message>
    <message>
        <source>brightness %1</source>
        <translation>밝기 %1</translation>
    </message>
    <message>
        <source>%1 x %2, %3, %4, %5</source>
        <translation>%1 x %2, %3, %4, %5</translation>
    </message>
    <message numerus="yes">
        <source>%1 fps (peak %2, mean %3), %n frames</source>
        <translation>
            <numerusform>%1fps(최대 %2, 평균 %3), %n프레임</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 in frame headers, %2 in pictures, %3 in commands, %4 in firmware blocks</source>
        <translation>프레임 헤더 %1, 이미지 %2, 명령 %3, 펌웨어 블록 %4</translation>
    </message>
    <message numerus="yes">
        <source>%n blocks, %1 bytes received</source>
        <translation>
            <numerusform>%n개 블록, %1바이트 수신</numerusform>
        </translation>
    </message>
    <message>
        <source>Update mode
%1</source>
        <translation>업데이트 모드
%1</translation>
    </message>
    <message>
        <source>Waiting for frames</source>
        <translation>프레임 대기 중</translation>
    </message>
    <message>
        <source>Restarting</source>
        <translation>다시 시작하는 중</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>연결 끊김</translation>
    </message>
    <message>
        <source>Switched off</source>
        <translation>꺼짐</translation>
    </message>
    <message>
        <source>update mode</source>
        <translation>업데이트 모드</translation>
    </message>
    <message>
        <source>normal mode</source>
        <translation>일반 모드</translation>
    </message>
    <message>
        <source>restarting into update mode</source>
        <translation>업데이트 모드로 다시 시작하는 중</translation>
    </message>
    <message>
        <source>restarting into normal mode</source>
        <translation>일반 모드로 다시 시작하는 중</translation>
    </message>
    <message>
        <source>disconnected on purpose</source>
        <translation>의도적으로 연결 끊음</translation>
    </message>
    <message>
        <source>switched off</source>
        <translation>꺼짐</translation>
    </message>
    <message>
        <source>dynamic display</source>
        <translation>동적 표시</translation>
    </message>
    <message>
        <source>digital clock</source>
        <translation>디지털 시계</translation>
    </message>
    <message>
        <source>analog clock</source>
        <translation>아날로그 시계</translation>
    </message>
    <message>
        <source>display mode %1</source>
        <translation>표시 모드 %1</translation>
    </message>
    <message>
        <source>no replies</source>
        <translation>응답 없음</translation>
    </message>
    <message>
        <source>replies one byte short</source>
        <translation>응답 1바이트 부족</translation>
    </message>
    <message>
        <source>replies with a bad CRC</source>
        <translation>응답 CRC 오류</translation>
    </message>
    <message>
        <source>state "%1"</source>
        <translation>상태 "%1"</translation>
    </message>
    <message>
        <source>model bytes %1</source>
        <translation>모델 바이트 %1</translation>
    </message>
    <message>
        <source>firmware rejected</source>
        <translation>펌웨어 거부</translation>
    </message>
    <message numerus="yes">
        <source>vanishes after %n firmware blocks</source>
        <translation>
            <numerusform>펌웨어 블록 %n개 후 사라짐</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>vanishes after %n frames</source>
        <translation>
            <numerusform>%n프레임 후 사라짐</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>stalls after %n frames</source>
        <translation>
            <numerusform>%n프레임 후 수신 중단</numerusform>
        </translation>
    </message>
    <message>
        <source>none</source>
        <translation>없음</translation>
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
        <translation>이 사용자는 화면을 열 권한이 없습니다. 규칙 파일 70-vortane-screen.rules를 /etc/udev/rules.d에 설치하고 "sudo udevadm control --reload-rules"와 "sudo udevadm trigger"를 실행한 다음, 쿨러의 USB 케이블을 뽑았다가 다시 꽂으십시오.</translation>
    </message>
    <message>
        <source>No device at %1.</source>
        <translation>%1에 장치가 없습니다.</translation>
    </message>
</context>
<context>
    <name>WinUsbDevice</name>
    <message>
        <source>Cannot open the device at %1 (error %2).</source>
        <translation>%1의 장치를 열 수 없습니다(오류 %2).</translation>
    </message>
</context>
<context>
    <name>pixScaleDialog</name>
    <message>
        <source>Photo or video cropping</source>
        <translation>사진 또는 동영상 자르기</translation>
    </message>
    <message>
        <source>For better display quality, please select a ratio before cropping.</source>
        <translation>더 나은 화질을 위해 자르기 전에 비율을 선택하십시오.</translation>
    </message>
    <message>
        <source>Fit width</source>
        <translation>너비 맞춤</translation>
    </message>
    <message>
        <source>Fit height</source>
        <translation>높이 맞춤</translation>
    </message>
    <message>
        <source>Rotate 90°</source>
        <translation>90° 회전</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>완료</translation>
    </message>
    <message>
        <source>Upload Media File</source>
        <translation>미디어 파일 업로드</translation>
    </message>
    <message>
        <source>Uploading media file, please wait</source>
        <translation>미디어 파일을 업로드하는 중입니다. 잠시 기다려 주십시오</translation>
    </message>
</context>
</TS>
