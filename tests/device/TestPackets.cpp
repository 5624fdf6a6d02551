// Byte layouts of the screen-frame header, the command packets and the reply checks, against
// hand-worked vectors: a wrong byte here is a screen that shows nothing or a firmware that
// never finishes.

#include "device/Packets.h"

#include <QtTest>

#include <cstring>
#include <functional>
#include <vector>

using namespace Packets;

namespace {

QByteArray bytes(const std::uint8_t* p, int n)
{
    return QByteArray(reinterpret_cast<const char*>(p), n);
}

// A reply of `size` bytes, sealed with a correct CRC-32 over all but its last four bytes.
std::vector<std::uint8_t> sealedReply(int size, const std::function<void(std::uint8_t*)>& fill)
{
    std::vector<std::uint8_t> reply(static_cast<std::size_t>(size), 0);
    fill(reply.data());
    const std::uint32_t crc = packetCrc32(reply.data(), reply.size() - 4);
    std::uint8_t* tail = reply.data() + reply.size() - 4;
    tail[0] = std::uint8_t(crc >> 24);
    tail[1] = std::uint8_t(crc >> 16);
    tail[2] = std::uint8_t(crc >> 8);
    tail[3] = std::uint8_t(crc);
    return reply;
}

quint32 be32(const std::uint8_t* p)
{
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | p[3];
}

} // namespace

class TestPackets : public QObject
{
    Q_OBJECT

private slots:
    void checksums_data();
    void checksums();
    void frameHeader_data();
    void frameHeader();
    void fixedCommands();
    void firmwareBlock_data();
    void firmwareBlock();
    void firmwareBlockRejectsBadLengths();
    void identifyReply_data();
    void identifyReply();
    void shortReply_data();
    void shortReply();
    void deviceSideReadsEveryCommand_data();
    void deviceSideReadsEveryCommand();
    void deviceSideRejectsDamagedCommands_data();
    void deviceSideRejectsDamagedCommands();
    void deviceSideFramePackets_data();
    void deviceSideFramePackets();
    void deviceRepliesPassHostChecks();
    void replyBelongsToItsCommand_data();
    void replyBelongsToItsCommand();
};

void TestPackets::checksums_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<quint32>("crc32");
    QTest::addColumn<quint16>("crc16");
    QTest::newRow("empty range") << QByteArray() << quint32(0) << quint16(0xFFFF);
    QTest::newRow("abc") << QByteArray("abc") << quint32(0xCA6598D0) << quint16(0x5749);
    QTest::newRow("digits 1 to 9") << QByteArray("123456789") << quint32(0x2DFD2D88) << quint16(0x4B37);
    QTest::newRow("frame length 38000") << QByteArray::fromHex("00009470") << packetCrc32("\x00\x00\x94\x70", 4)
                                        << quint16(0x006F);
}

void TestPackets::checksums()
{
    QFETCH(QByteArray, input);
    QFETCH(quint32, crc32);
    QFETCH(quint16, crc16);
    QCOMPARE(packetCrc32(input.constData(), std::size_t(input.size())), crc32);
    QCOMPARE(crc16Modbus(input.constData(), std::size_t(input.size())), crc16);
}

void TestPackets::frameHeader_data()
{
    QTest::addColumn<quint32>("jpegLength");
    QTest::addColumn<int>("brightness");
    QTest::addColumn<bool>("screenOn");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("sleep");
    QTest::addColumn<QByteArray>("expectedFirst11");
    QTest::newRow("jpeg of 38000 bytes") << quint32(38000) << 100 << true << 0 << 0
                                         << QByteArray::fromHex("5aa500009470006f640000");
    QTest::newRow("screen off: brightness byte 0")
        << quint32(38000) << 80 << false << 1 << 1 << QByteArray::fromHex("5aa500009470006f000101");
    QTest::newRow("analog clock, standby off")
        << quint32(38000) << 50 << true << 2 << 1 << QByteArray::fromHex("5aa500009470006f320201");
    QTest::newRow("brightness masked to 7 bits")
        << quint32(38000) << 0x85 << true << 0 << 0 << QByteArray::fromHex("5aa500009470006f050000");
}

void TestPackets::frameHeader()
{
    QFETCH(quint32, jpegLength);
    QFETCH(int, brightness);
    QFETCH(bool, screenOn);
    QFETCH(int, mode);
    QFETCH(int, sleep);
    QFETCH(QByteArray, expectedFirst11);
    std::uint8_t header[kFrameHeaderSize + 4];
    std::memset(header, 0xEE, sizeof header);
    buildFrameHeader(header, jpegLength, brightness, screenOn, std::uint8_t(mode), std::uint8_t(sleep));
    QCOMPARE(bytes(header, 11).toHex(), expectedFirst11.toHex());
    QCOMPARE(bytes(header + 11, 29), QByteArray(29, '\0'));
    QCOMPARE(header[kFrameHeaderSize], std::uint8_t(0xEE)); // nothing written past the header
}

void TestPackets::fixedCommands()
{
    std::uint8_t tx[kTxBufferSize];
    struct Case
    {
        const char* name;
        int length;
        QByteArray first32;
    };
    std::memset(tx, 0xEE, sizeof tx);
    const int identify = buildIdentifyRequest(tx);
    const QByteArray identifyBytes = bytes(tx, identify);
    std::memset(tx, 0xEE, sizeof tx);
    const int restart = buildRestartRequest(tx, kRestartIntoNormal);
    const QByteArray restartBytes = bytes(tx, restart);
    std::memset(tx, 0xEE, sizeof tx);
    const int end = buildFirmwareEnd(tx, 8192, 0x11223344);
    const QByteArray endBytes = bytes(tx, end);

    const Case cases[] = {
        {"identify", identify, QByteArray::fromHex("aa554b4c54") + QByteArray(27, '\0')},
        {"restart", restart, QByteArray::fromHex("aa554f75734201") + QByteArray(25, '\0')},
        {"firmware end", end, QByteArray::fromHex("aa554c0000240000000000002000112233440000000000000000000000000000")},
    };
    const QByteArray* packets[] = {&identifyBytes, &restartBytes, &endBytes};
    for (int i = 0; i < 3; ++i) {
        const Case& c = cases[i];
        const QByteArray& p = *packets[i];
        QVERIFY2(c.length == kCommandSize, c.name);
        QVERIFY2(p.left(32) == c.first32, c.name);
        const auto* raw = reinterpret_cast<const std::uint8_t*>(p.constData());
        QVERIFY2(be32(raw + 32) == packetCrc32(raw, 32), c.name);
    }
    // Restart into update mode differs only in the target byte.
    buildRestartRequest(tx, kRestartIntoUpdate);
    QCOMPARE(tx[6], std::uint8_t(0));
}

void TestPackets::firmwareBlock_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<quint32>("address");
    QTest::addColumn<int>("written");
    QTest::addColumn<QByteArray>("head");
    QTest::newRow("22 bytes: length 36, written as 38")
        << 22 << quint32(0x1000) << 38 << QByteArray::fromHex("aa554a00002400001000");
    QTest::newRow("4096 bytes at 0x3000")
        << 4096 << quint32(0x3000) << 4110 << QByteArray::fromHex("aa554a00100e00003000");
    QTest::newRow("one byte") << 1 << quint32(0) << 15 << QByteArray::fromHex("aa554a00000f00000000");
    QTest::newRow("21 bytes: no padding") << 21 << quint32(4096) << 35 << QByteArray::fromHex("aa554a00002300001000");
    QTest::newRow("23 bytes: no padding") << 23 << quint32(4096) << 37 << QByteArray::fromHex("aa554a00002500001000");
}

void TestPackets::firmwareBlock()
{
    QFETCH(int, length);
    QFETCH(quint32, address);
    QFETCH(int, written);
    QFETCH(QByteArray, head);
    std::vector<std::uint8_t> data(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i)
        data[std::size_t(i)] = std::uint8_t(i * 7 + 3);
    std::uint8_t tx[kTxBufferSize];
    std::memset(tx, 0xEE, sizeof tx);
    QCOMPARE(buildFirmwareBlock(tx, address, data.data(), length), written);
    QCOMPARE(bytes(tx, 10).toHex(), head.toHex());
    QCOMPARE(bytes(tx + 10, length), bytes(data.data(), length));
    QCOMPARE(be32(tx + 10 + length), packetCrc32(tx, std::size_t(10 + length)));
    if (written > length + kFirmwareBlockOverhead)
        QCOMPARE(bytes(tx + length + kFirmwareBlockOverhead, 2), QByteArray(2, '\0'));
}

void TestPackets::firmwareBlockRejectsBadLengths()
{
    std::uint8_t tx[kTxBufferSize];
    std::uint8_t data[kFirmwareBlockMax + 1] = {};
    QCOMPARE(buildFirmwareBlock(tx, 0, data, 0), -1);
    QCOMPARE(buildFirmwareBlock(tx, 0, data, kFirmwareBlockMax + 1), -1);
}

void TestPackets::identifyReply_data()
{
    using Fill = std::function<void(std::uint8_t*)>;
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("check");
    QTest::addColumn<int>("state");
    QTest::addColumn<QByteArray>("model");
    QTest::addColumn<QByteArray>("version");

    const Fill normal = [](std::uint8_t* r) {
        r[2] = kStateNormal;
        std::memcpy(r + 18, "1.1.3", 5);
        r[27] = 0x00;
        r[28] = 0x01;
    };
    auto asBytes = [](const std::vector<std::uint8_t>& v) {
        return QByteArray(reinterpret_cast<const char*>(v.data()), int(v.size()));
    };
    const QByteArray good = asBytes(sealedReply(36, normal));
    QTest::newRow("normal mode, 1.1.3") << good << int(ReplyOk) << int(kStateNormal) << QByteArray::fromHex("0001")
                                        << QByteArray("1.1.3");
    QTest::newRow("model bytes 00 02 still pass the check")
        << asBytes(sealedReply(36,
                               [&](std::uint8_t* r) {
                                   normal(r);
                                   r[28] = 0x02;
                               }))
        << int(ReplyOk) << int(kStateNormal) << QByteArray::fromHex("0002") << QByteArray("1.1.3");
    QTest::newRow("update mode") << asBytes(sealedReply(36, [](std::uint8_t* r) { r[2] = kStateUpdate; }))
                                 << int(ReplyOk) << int(kStateUpdate) << QByteArray(2, '\0') << QByteArray(5, '\0');
    QByteArray badCrc = good;
    badCrc[35] = char(badCrc[35] ^ 0x01);
    QTest::newRow("flipped CRC bit") << badCrc << int(ReplyBadCrc) << 0 << QByteArray() << QByteArray();
    QByteArray flippedBody = good;
    flippedBody[20] = 'X';
    QTest::newRow("body changed after sealing") << flippedBody << int(ReplyBadCrc) << 0 << QByteArray() << QByteArray();
    QTest::newRow("35 bytes with a valid CRC over 31")
        << asBytes(sealedReply(35, normal)) << int(ReplyWrongLength) << 0 << QByteArray() << QByteArray();
    QTest::newRow("37 bytes") << good + QByteArray(1, '\0') << int(ReplyWrongLength) << 0 << QByteArray()
                              << QByteArray();
    QTest::newRow("13 bytes") << good.left(13) << int(ReplyWrongLength) << 0 << QByteArray() << QByteArray();
    QTest::newRow("empty") << QByteArray() << int(ReplyWrongLength) << 0 << QByteArray() << QByteArray();
}

void TestPackets::identifyReply()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, check);
    QFETCH(int, state);
    QFETCH(QByteArray, model);
    QFETCH(QByteArray, version);
    IdentifyReply out;
    const auto* raw = reinterpret_cast<const std::uint8_t*>(reply.constData());
    QCOMPARE(int(checkIdentifyReply(raw, reply.size(), &out)), check);
    if (check != ReplyOk) {
        QCOMPARE(out.state, std::uint8_t(0)); // untouched
        return;
    }
    QCOMPARE(int(out.state), state);
    QCOMPARE(bytes(out.model, 2), model);
    QCOMPARE(QByteArray(out.version, 5), version);
}

void TestPackets::shortReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("check");
    QTest::addColumn<int>("result");
    auto asBytes = [](const std::vector<std::uint8_t>& v) {
        return QByteArray(reinterpret_cast<const char*>(v.data()), int(v.size()));
    };
    const QByteArray accepted = asBytes(sealedReply(13, [](std::uint8_t*) {}));
    QTest::newRow("result 0") << accepted << int(ReplyOk) << 0;
    QTest::newRow("result 1") << asBytes(sealedReply(13, [](std::uint8_t* r) { r[8] = 1; })) << int(ReplyOk) << 1;
    QByteArray badCrc = accepted;
    badCrc[12] = char(badCrc[12] ^ 0x80);
    QTest::newRow("result 0 but CRC wrong") << badCrc << int(ReplyBadCrc) << -1;
    QTest::newRow("12 bytes") << accepted.left(12) << int(ReplyWrongLength) << -1;
    QTest::newRow("36 bytes") << asBytes(sealedReply(36, [](std::uint8_t*) {})) << int(ReplyWrongLength) << -1;
}

void TestPackets::shortReply()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, check);
    QFETCH(int, result);
    std::uint8_t out = 0xEE;
    QCOMPARE(int(checkShortReply(reinterpret_cast<const std::uint8_t*>(reply.constData()), reply.size(), &out)), check);
    QCOMPARE(int(out), check == ReplyOk ? result : 0xEE);
}

void TestPackets::deviceSideReadsEveryCommand_data()
{
    QTest::addColumn<int>("which"); // 0 identify, 1 restart, 2 firmware end, 3 block
    QTest::addColumn<int>("blockLength");
    QTest::newRow("identify") << 0 << 0;
    QTest::newRow("restart") << 1 << 0;
    QTest::newRow("firmware end") << 2 << 0;
    QTest::newRow("block of 1") << 3 << 1;
    QTest::newRow("block of 22 (38 bytes written)") << 3 << 22;
    QTest::newRow("block of 4096") << 3 << 4096;
}

void TestPackets::deviceSideReadsEveryCommand()
{
    QFETCH(int, which);
    QFETCH(int, blockLength);
    std::uint8_t tx[kTxBufferSize];
    std::vector<std::uint8_t> data(std::size_t(std::max(blockLength, 1)), 0x5C);
    int length = 0;
    switch (which) {
    case 0:
        length = buildIdentifyRequest(tx);
        break;
    case 1:
        length = buildRestartRequest(tx, kRestartIntoNormal);
        break;
    case 2:
        length = buildFirmwareEnd(tx, 4118, 0xDEADBEEF);
        break;
    default:
        length = buildFirmwareBlock(tx, 0x2000, data.data(), blockLength);
        break;
    }
    Command command;
    QVERIFY(parseCommand(tx, length, &command));
    const CommandKind kinds[] = {CommandKind::Identify, CommandKind::Restart, CommandKind::FirmwareEnd,
                                 CommandKind::FirmwareBlock};
    QCOMPARE(int(command.kind), int(kinds[which]));
    if (which == 1)
        QCOMPARE(int(command.restartTarget), 1);
    if (which == 2) {
        QCOMPARE(command.imageLength, quint32(4118));
        QCOMPARE(command.imageCrc, quint32(0xDEADBEEF));
    }
    if (which == 3) {
        QCOMPARE(command.address, quint32(0x2000));
        QCOMPARE(command.blockLength, blockLength);
        QCOMPARE(bytes(command.blockData, blockLength), bytes(data.data(), blockLength));
    }
}

void TestPackets::deviceSideRejectsDamagedCommands_data()
{
    QTest::addColumn<QByteArray>("packet");
    std::uint8_t tx[kTxBufferSize];
    const int identify = buildIdentifyRequest(tx);
    const QByteArray good = bytes(tx, identify);
    QByteArray badCrc = good;
    badCrc[33] = char(badCrc[33] ^ 0x10);
    QTest::newRow("identify with a bad CRC") << badCrc;
    QTest::newRow("identify one byte short") << good.left(35);
    QByteArray unknown = good;
    unknown[2] = 'Z';
    QTest::newRow("unknown letter") << unknown;
    std::uint8_t data[22] = {};
    const int block = buildFirmwareBlock(tx, 0, data, 22);
    QTest::newRow("22-byte block without its padding") << bytes(tx, block - 2);
    buildFirmwareBlock(tx, 0, data, 10);
    QTest::newRow("block cut short") << bytes(tx, 20);
    QTest::newRow("no magic") << QByteArray(36, '\0');
}

void TestPackets::deviceSideRejectsDamagedCommands()
{
    QFETCH(QByteArray, packet);
    Command command;
    QVERIFY(!parseCommand(reinterpret_cast<const std::uint8_t*>(packet.constData()), packet.size(), &command));
}

void TestPackets::deviceSideFramePackets_data()
{
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<int>("check");
    std::uint8_t header[kFrameHeaderSize];
    buildFrameHeader(header, 4, 77, true, 2, 1);
    const QByteArray good = bytes(header, kFrameHeaderSize) + "JPEG";
    QTest::newRow("valid") << good << int(FrameCheck::Ok);
    QTest::newRow("header only") << good.left(39) << int(FrameCheck::TooShort);
    QByteArray magic = good;
    magic[1] = char(0xA6);
    QTest::newRow("bad magic") << magic << int(FrameCheck::BadMagic);
    QByteArray crc = good;
    crc[7] = char(crc[7] ^ 0x01);
    QTest::newRow("bad length CRC") << crc << int(FrameCheck::BadLengthCrc);
    QTest::newRow("one JPEG byte missing") << good.left(43) << int(FrameCheck::LengthMismatch);
}

void TestPackets::deviceSideFramePackets()
{
    QFETCH(QByteArray, packet);
    QFETCH(int, check);
    FrameHeader header;
    QCOMPARE(int(checkFramePacket(reinterpret_cast<const std::uint8_t*>(packet.constData()), std::size_t(packet.size()),
                                  &header)),
             check);
    if (check == int(FrameCheck::Ok)) {
        QCOMPARE(header.jpegLength, quint32(4));
        QCOMPARE(int(header.brightness), 77);
        QCOMPARE(int(header.displayMode), 2);
        QCOMPARE(int(header.sleepFlag), 1);
    }
}

void TestPackets::deviceRepliesPassHostChecks()
{
    std::uint8_t rx[kRxBufferSize];
    IdentifyReply identify;
    QCOMPARE(int(checkIdentifyReply(rx, buildIdentifyReply(rx, kStateUpdate, "2.0.0", 0, 1), &identify)), int(ReplyOk));
    QCOMPARE(int(identify.state), int(kStateUpdate));
    QCOMPARE(QByteArray(identify.version, 5), QByteArray("2.0.0"));
    std::uint8_t result = 0;
    QCOMPARE(int(checkShortReply(rx, buildShortReply(rx, 1), &result)), int(ReplyOk));
    QCOMPARE(int(result), 1);
}

void TestPackets::replyBelongsToItsCommand_data()
{
    QTest::addColumn<char>("command"); // K identify, O restart, J firmware block, L firmware end
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("answers");
    const auto asBytes = [](const std::vector<std::uint8_t>& v) {
        return QByteArray(reinterpret_cast<const char*>(v.data()), int(v.size()));
    };
    const auto shortReplyNaming = [&asBytes](char letter) {
        return asBytes(sealedReply(13, [letter](std::uint8_t* r) {
            r[0] = 0xAA;
            r[1] = 0x55;
            r[2] = std::uint8_t(letter);
        }));
    };
    const QByteArray identifyAnswer = asBytes(sealedReply(36, [](std::uint8_t* r) { r[2] = kStateNormal; }));
    const QByteArray plainShort = asBytes(sealedReply(13, [](std::uint8_t*) {}));
    QTest::newRow("identify: an identify reply answers it") << 'K' << identifyAnswer << true;
    QTest::newRow("identify: a short reply is another command's") << 'K' << plainShort << false;
    QTest::newRow("end: a short reply naming L answers it") << 'L' << shortReplyNaming('L') << true;
    QTest::newRow("end: a short reply naming J is a block's") << 'L' << shortReplyNaming('J') << false;
    QTest::newRow("block: a short reply naming L is an end's") << 'J' << shortReplyNaming('L') << false;
    QTest::newRow("restart: a short reply naming O answers it") << 'O' << shortReplyNaming('O') << true;
    QTest::newRow("end: a short reply naming nothing is taken") << 'L' << plainShort << true;
    QTest::newRow("end: a letter that is no command's is taken") << 'L' << shortReplyNaming('Z') << true;
    QTest::newRow("end: an identify reply is another command's") << 'L' << identifyAnswer << false;
    QByteArray broken = shortReplyNaming('J');
    broken[12] = char(broken[12] ^ 1);
    QTest::newRow("end: a broken reply is left to the checks") << 'L' << broken << true;
    QTest::newRow("end: a reply of another length is left to the checks") << 'L' << QByteArray(20, 'x') << true;
}

void TestPackets::replyBelongsToItsCommand()
{
    QFETCH(char, command);
    QFETCH(QByteArray, reply);
    QFETCH(bool, answers);
    std::uint8_t tx[kTxBufferSize] = {};
    switch (command) {
    case 'K':
        buildIdentifyRequest(tx);
        break;
    case 'O':
        buildRestartRequest(tx, kRestartIntoNormal);
        break;
    case 'J': {
        const std::uint8_t block[16] = {};
        buildFirmwareBlock(tx, 0, block, sizeof block);
        break;
    }
    default:
        buildFirmwareEnd(tx, 16, 0);
        break;
    }
    QCOMPARE(replyAnswers(tx, reinterpret_cast<const std::uint8_t*>(reply.constData()), reply.size()), answers);
}

QTEST_APPLESS_MAIN(TestPackets)
#include "TestPackets.moc"
