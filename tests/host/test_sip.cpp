// The client's SIP registration, piece by piece and without a network:
// digest authentication against RFC 2617's worked example, reading
// responses (and refusing broken ones), the REGISTER request, and the
// registration agent step by step on a clock of the test's own (Timer E,
// the backup address, challenges, 423, refreshes, back-off, rport,
// unregistering). Saved passwords at rest are checked here too.
#include "ProtectedText.h"
#include "sip/RegistrationAgent.h"
#include "sip/SipDigest.h"
#include "sip/SipLog.h"
#include "sip/SipMessage.h"
#include "sip/SipText.h"

#include "SipTestKit.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace kite;
using namespace kite::sip;
using kitetest::AnswerTo;
using kitetest::HeaderOf;
using kitetest::HeadersOf;

namespace {

// ---------------------------------------------------------------------------
// Digest

TEST(Digest, Rfc2617WorkedExampleAndSystemMd5) {
    // RFC 1321's test suite, through the system's provider.
    EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", Md5Hex(""));
    EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", Md5Hex("abc"));
    // RFC 2617 3.5: qop=auth.
    EXPECT_EQ("6629fae49393a05397450978507c4ef1",
              DigestResponse("Mufasa", "testrealm@host.com", "Circle Of Life", "GET",
                             "/dir/index.html", "dcd98b7102dd2f0e8b11d0f600bfb0c093", "auth",
                             "00000001", "0a4f113b"));
    // The same without qop (RFC 2069 form).
    EXPECT_EQ("670fd8c2df070c60b045671b8b24ff02",
              DigestResponse("Mufasa", "testrealm@host.com", "Circle Of Life", "GET",
                             "/dir/index.html", "dcd98b7102dd2f0e8b11d0f600bfb0c093", "", "", ""));

    DigestChallenge c;
    ASSERT_TRUE(ParseChallenge("Digest realm=\"testrealm@host.com\", qop=\"auth,auth-int\", "
                               "nonce=\"dcd98b7102dd2f0e8b11d0f600bfb0c093\", "
                               "opaque=\"5ccc069c403ebaf9f0171e9517f40e41\"",
                               c));
    EXPECT_EQ(
        "Digest username=\"Mufasa\", realm=\"testrealm@host.com\", "
        "nonce=\"dcd98b7102dd2f0e8b11d0f600bfb0c093\", uri=\"/dir/index.html\", "
        "response=\"6629fae49393a05397450978507c4ef1\", algorithm=MD5, qop=auth, "
        "nc=00000001, cnonce=\"0a4f113b\", opaque=\"5ccc069c403ebaf9f0171e9517f40e41\"",
        AuthorizationValue(c, "Mufasa", "Circle Of Life", "GET", "/dir/index.html", 1, "0a4f113b"));
    EXPECT_EQ(32u, RandomHex(16).size());
    EXPECT_NE(RandomHex(8), RandomHex(8));
}

TEST(Digest, ChallengesReadAndRefused) {
    // value, usable, realm, nonce, qop=auth, stale
    const std::tuple<const char*, bool, const char*, const char*, bool, bool> cases[] = {
        {"Digest realm=\"kite.example\", nonce=\"axYk+w/9=\", qop=\"auth\"", true, "kite.example",
         "axYk+w/9=", true, false},
        {"Digest realm=\"kite.example\", nonce=\"n2\", qop=\"auth\", stale=true", true,
         "kite.example", "n2", true, true},
        {"digest REALM=\"x\",NONCE=\"n\",STALE=TRUE,algorithm=md5", true, "x", "n", false, true},
        {"Digest realm=\"a, \\\"b\\\"\", nonce=\"n\"", true, "a, \"b\"", "n", false, false},
        {"Basic realm=\"x\"", false, "", "", false, false},
        {"Digest realm=\"x\"", false, "x", "", false, false},
        {"Digest realm=\"x\", nonce=\"n\", algorithm=SHA-256", false, "x", "n", false, false},
        {"Digest realm=\"x\", nonce=\"n\", qop=\"auth-int\"", false, "x", "n", false, false},
        {"Digest realm=\"x\", nonce=\"unterminated", true, "x", "unterminated", false, false},
        {"", false, "", "", false, false},
    };
    for (const auto& [value, usable, realm, nonce, qop, stale] : cases) {
        SCOPED_TRACE(value);
        DigestChallenge c;
        EXPECT_EQ(usable, ParseChallenge(value, c));
        if (usable) {
            EXPECT_EQ(std::make_tuple(std::string(realm), std::string(nonce), qop, stale),
                      std::make_tuple(c.realm, c.nonce, c.qopAuth, c.stale));
        }
    }
    EXPECT_EQ("Digest username=\"8001\", realm=\"r\", nonce=\"n\", qop=auth, nc=00000002 "
              "(digest withheld)",
              RedactAuthorization("Digest username=\"8001\", realm=\"r\", nonce=\"n\", "
                                  "response=\"0123abcd\", qop=auth, nc=00000002, cnonce=\"c\""));
}

// ---------------------------------------------------------------------------
// Messages

const std::string kOk =
    "SIP/2.0 200 OK\r\n"
    "v: SIP/2.0/UDP 127.0.0.1:5062;branch=z9hG4bKa;rport=5062;received=127.0.0.2\r\n"
    "f: <sip:8001@kite.example>;tag=t\r\n"
    "t: <sip:8001@kite.example>;tag=r\r\n"
    "i: abc@127.0.0.1\r\n"
    "CSeq: 7 REGISTER\r\n"
    "m: <sip:8001@127.0.0.1:5062>;expires=60, <sip:8001@127.0.0.1:6000>;expires=9\r\n"
    "Expires:\r\n 120\r\n"
    "l: 4\r\n\r\nbodyand more";

const char kNul[] = "SIP/2.0 200 OK\r\nVia: SIP/2.0/UDP h;branch=b\r\nFrom\0: a\r\n\r\n";

TEST(Messages, ResponsesReadOrRefusedWithTheirReason) {
    std::string noCallId = kOk;
    noCallId.replace(noCallId.find("i: abc@127.0.0.1\r\n"), 18, "");
    const std::pair<std::string, ReadResult> cases[] = {
        {kOk, ReadResult::Ok},
        {"SIP/2.0 401 Unauthorized\nVia: SIP/2.0/UDP h;branch=b\nFrom: a\nTo: b\nCall-ID: c\n"
         "CSeq: 1 REGISTER\n\n",
         ReadResult::Ok},
        {std::string(kMaxResponseBytes + 1, 'x'), ReadResult::Oversized},
        {"OPTIONS sip:8001@127.0.0.1 SIP/2.0\r\nVia: SIP/2.0/UDP h\r\n\r\n", ReadResult::Request},
        {"HTTP/1.1 200 OK\r\n\r\n", ReadResult::Malformed},
        {"SIP/2.0 099 Low\r\n\r\n", ReadResult::Malformed},
        {"SIP/2.0 2000 OK\r\n\r\n", ReadResult::Malformed},
        {noCallId, ReadResult::Malformed},
        {kOk.substr(0, kOk.find("CSeq")), ReadResult::Truncated},
        {kOk.substr(0, kOk.find("CSeq") + 3), ReadResult::Truncated},
        {kOk.substr(0, kOk.find("bodyand")), ReadResult::Truncated},
        {std::string(kNul, sizeof(kNul) - 1), ReadResult::Malformed},
        {"SIP/2.0 200 OK\r\nBroken line\r\nVia: x\r\n\r\n", ReadResult::Malformed},
        {"SIP/2.0 200 OK\r\nVia: SIP/2.0/UDP h;branch=b\r\nFrom: a\r\nTo: b\r\nCall-ID: c\r\n"
         "CSeq: one REGISTER\r\n\r\n",
         ReadResult::Malformed},
        {"SIP/2.0 200 OK\r\nVia: SIP/2.0/UDP h;branch=b\r\nFrom: a\r\nTo: b\r\nCall-ID: c\r\n"
         "CSeq: 1 REGISTER\r\nContent-Length: x\r\n\r\n",
         ReadResult::Malformed},
        {"SIP/2.0 200 OK\r\nVia: nonsense\r\nFrom: a\r\nTo: b\r\nCall-ID: c\r\n"
         "CSeq: 1 REGISTER\r\n\r\n",
         ReadResult::Malformed},
        {"", ReadResult::Malformed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first.substr(0, 60));
        Response r;
        EXPECT_EQ(ReadResultName(c.second),
                  std::string(ReadResultName(ReadResponse(c.first.data(), c.first.size(), r))));
    }

    Response r;
    ASSERT_EQ(ReadResult::Ok, ReadResponse(kOk.data(), kOk.size(), r));
    EXPECT_EQ(200, r.code);
    EXPECT_EQ("body", r.body) << "what follows Content-Length is dropped";
    EXPECT_EQ("abc@127.0.0.1", r.CallId());
    EXPECT_EQ("120", *r.Find("expires")) << "a continuation line";
    Via via;
    ASSERT_TRUE(r.TopVia(via));
    EXPECT_EQ(std::make_tuple(std::string("UDP"), std::string("127.0.0.1"), uint16_t(5062),
                              std::string("z9hG4bKa"), std::string("127.0.0.2"), true,
                              uint16_t(5062)),
              std::make_tuple(via.transport, via.host, via.port, via.branch, via.received,
                              via.hasRport, via.rport));
    CSeq cseq;
    ASSERT_TRUE(r.GetCSeq(cseq));
    EXPECT_EQ(7u, cseq.number);
    std::vector<std::string> contacts = r.All("contact");
    ASSERT_EQ(2u, contacts.size());
    ContactValue contact;
    ASSERT_TRUE(ParseContact(contacts[1], contact));
    EXPECT_EQ(std::make_tuple(std::string("sip:8001@127.0.0.1:6000"), true, uint32_t(9)),
              std::make_tuple(contact.uri, contact.hasExpires, contact.expires));
    EXPECT_EQ(UriKey("sip:8001@127.0.0.1:5060;transport=udp"), UriKey("SIP:8001@127.0.0.1"));
    EXPECT_NE(UriKey("sip:8001@127.0.0.1:5062"), UriKey("sip:8002@127.0.0.1:5062"));
}

TEST(Messages, RegisterCarriesEveryHeaderOfRegistration) {
    RegisterRequest q;
    q.requestUri = "sip:kite.example";
    q.viaHost = "127.0.0.1";
    q.viaPort = 5062;
    q.branch = "z9hG4bKabc";
    q.aor = "sip:8001@kite.example";
    q.fromTag = "tag1";
    q.callId = "cid@127.0.0.1";
    q.cseq = 3;
    q.contactUri = "sip:8001@127.0.0.1:5062";
    q.removeContacts.push_back("sip:8001@127.0.0.9:5062");
    q.expires = 600;
    q.authHeader = "Authorization";
    q.authValue = "Digest username=\"8001\"";
    q.userAgent = "KiteClient/2.0";
    EXPECT_EQ("REGISTER sip:kite.example SIP/2.0\r\n"
              "Via: SIP/2.0/UDP 127.0.0.1:5062;rport;branch=z9hG4bKabc\r\n"
              "Max-Forwards: 70\r\n"
              "From: <sip:8001@kite.example>;tag=tag1\r\n"
              "To: <sip:8001@kite.example>\r\n"
              "Call-ID: cid@127.0.0.1\r\n"
              "CSeq: 3 REGISTER\r\n"
              "Contact: <sip:8001@127.0.0.1:5062>\r\n"
              "Contact: <sip:8001@127.0.0.9:5062>;expires=0\r\n"
              "Expires: 600\r\n"
              "Authorization: Digest username=\"8001\"\r\n"
              "User-Agent: KiteClient/2.0\r\n"
              "Content-Length: 0\r\n\r\n",
              q.Serialize());
}

// ---------------------------------------------------------------------------
// The agent, step by step

struct Sent {
    std::string to;
    std::string text;
    uint64_t at;
    bool again;
};

class Recorder : public AgentSink {
public:
    uint64_t now = 0;
    std::vector<Sent> sent;
    std::vector<std::string> notes;
    std::vector<AgentReport> reports;
    void Send(const Target& to, const std::string& d, bool again) override {
        sent.push_back({to.Text(), d, now, again});
    }
    void Note(const std::string& line) override { notes.push_back(line); }
    void Report(const AgentReport& r) override { reports.push_back(r); }
};

class Agent : public ::testing::Test {
protected:
    void Make(int targets = 2) {
        AgentIdentity who;
        who.user = "8001";
        who.password = "1234";
        who.domain = "kite.example";
        for (int i = 0; i < targets; ++i)
            who.targets.push_back(Target{"127.0.0.1", static_cast<uint16_t>(5070 + i)});
        who.localHost = "127.0.0.1";
        who.localPort = 5062;
        agent.reset(new RegistrationAgent(who, set, rec));
    }
    // Runs the agent's timer until until (each deadline on the way).
    void RunTo(uint64_t until) {
        for (int guard = 0; guard < 1000; ++guard) {
            uint64_t d = agent->Deadline();
            if (!d || d > until)
                break;
            rec.now = d;
            agent->OnTimer(d);
        }
        rec.now = until;
    }
    // The last request answered with code.
    RegistrationAgent::Match Answer(int code, const std::string& reason,
                                    const std::string& extra = std::string()) {
        return Deliver(AnswerTo(rec.sent.back().text, code, reason, extra));
    }
    RegistrationAgent::Match Deliver(const std::string& text) {
        Response r;
        EXPECT_EQ(ReadResult::Ok, ReadResponse(text.data(), text.size(), r)) << text;
        return agent->OnResponse(r, rec.now);
    }
    std::string Challenge(bool stale = false) {
        return std::string("WWW-Authenticate: Digest realm=\"kite.example\", nonce=\"") +
               (stale ? "n2" : "n1") + "\", qop=\"auth\"" + (stale ? ", stale=true" : "") + "\r\n";
    }
    std::string Kinds() const {
        std::string s;
        for (const AgentReport& r : rec.reports)
            s += (s.empty() ? "" : " ") +
                 std::string(r.kind == AgentReport::Registered       ? "registered"
                             : r.kind == AgentReport::Failed         ? "failed"
                             : r.kind == AgentReport::RefreshFailing ? "failing"
                             : r.kind == AgentReport::Recovered      ? "recovered"
                                                                     : "unregistered") +
                 ":" + std::to_string(r.code);
        return s;
    }
    void Register(uint32_t granted = 60) {
        agent->Start(rec.now);
        Answer(401, "Unauthorized", Challenge());
        Answer(200, "OK",
               "Contact: <" + agent->ContactUri() + ">;expires=" + std::to_string(granted) +
                   "\r\n");
        ASSERT_EQ("registered:0", Kinds());
    }

    AgentSettings set;
    Recorder rec;
    std::unique_ptr<RegistrationAgent> agent;
};

TEST_F(Agent, TimerERetransmitsThenTheBackupThen408) {
    set.transactionTimeoutMs = 3000;
    Make();
    agent->Start(0);
    EXPECT_TRUE(rec.reports.empty());
    RunTo(10000);
    std::vector<std::tuple<std::string, uint64_t, bool>> sends;
    for (const Sent& s : rec.sent)
        sends.emplace_back(s.to, s.at, s.again);
    EXPECT_EQ(
        (std::vector<std::tuple<std::string, uint64_t, bool>>{{"127.0.0.1:5070", 0, false},
                                                              {"127.0.0.1:5070", 500, true},
                                                              {"127.0.0.1:5070", 1500, true},
                                                              {"127.0.0.1:5071", 3000, false},
                                                              {"127.0.0.1:5071", 3500, true},
                                                              {"127.0.0.1:5071", 4500, true}}),
        sends);
    EXPECT_EQ("failed:408", Kinds());
    EXPECT_FALSE(rec.reports[0].wasRegistered);
    EXPECT_EQ(0u, agent->Deadline()) << "nothing more is sent";

    // A long timeout: the interval doubles up to T2 and stays there.
    rec = Recorder();
    set.transactionTimeoutMs = 20000;
    Make(1);
    agent->Start(0);
    RunTo(30000);
    std::vector<uint64_t> at;
    for (const Sent& s : rec.sent)
        at.push_back(s.at);
    EXPECT_EQ((std::vector<uint64_t>{0, 500, 1500, 3500, 7500, 11500, 15500, 19500}), at);

    // No address at all: the failure comes at the timer, not from Start.
    rec = Recorder();
    Make(0);
    agent->Start(0);
    EXPECT_TRUE(rec.reports.empty());
    RunTo(1);
    EXPECT_EQ("failed:408", Kinds());
}

TEST_F(Agent, ChallengesAnsweredOnceStaleAgainWrongPasswordStops) {
    // The answers after the first REGISTER, what is reported, how many
    // REGISTERs went out.
    const std::tuple<const char*, std::vector<std::pair<int, bool>>, const char*, size_t> cases[] =
        {
            {"challenge, 200", {{401, false}, {200, false}}, "registered:0", 2},
            {"second challenge: wrong password", {{401, false}, {401, false}}, "failed:403", 2},
            {"stale nonce answered again",
             {{401, false}, {401, true}, {200, false}},
             "registered:0",
             3},
            {"proxy challenge", {{407, false}, {200, false}}, "registered:0", 2},
            {"403 passes through", {{401, false}, {403, false}}, "failed:403", 2},
            {"404 passes through", {{401, false}, {404, false}}, "failed:404", 2},
            {"480 passes through", {{480, false}}, "failed:480", 1},
            {"503: the backup", {{503, false}, {200, false}}, "registered:0", 2},
        };
    for (const auto& [name, answers, reports, sends] : cases) {
        SCOPED_TRACE(name);
        rec = Recorder();
        Make();
        agent->Start(0);
        for (const auto& a : answers) {
            std::string extra;
            if (a.first == 401)
                extra = Challenge(a.second);
            if (a.first == 407)
                extra = "Proxy-Authenticate: Digest realm=\"kite.example\", nonce=\"p1\"\r\n";
            EXPECT_EQ(RegistrationAgent::Match::Taken, Answer(a.first, "Reason", extra));
        }
        EXPECT_EQ(reports, Kinds());
        EXPECT_EQ(sends, rec.sent.size()) << "no burst of REGISTERs";
        RunTo(120000);
        EXPECT_EQ(sends, rec.sent.size()) << "nothing more before a refresh is due";
    }
    // The answer to the challenge: the response is the digest of this very
    // request (its cnonce and nc), with qop=auth.
    rec = Recorder();
    Make();
    agent->Start(0);
    Answer(401, "Unauthorized", Challenge());
    std::string auth = HeaderOf(rec.sent[1].text, "Authorization");
    std::vector<Param> p = ParseParams(auth, 6, ',');
    EXPECT_EQ(DigestResponse("8001", "kite.example", "1234", "REGISTER", "sip:kite.example", "n1",
                             "auth", FindParam(p, "nc"), FindParam(p, "cnonce")),
              FindParam(p, "response"));
    EXPECT_EQ("00000001", FindParam(p, "nc"));
    EXPECT_EQ("sip:kite.example", FindParam(p, "uri"));
    // The proxy's challenge is answered in Proxy-Authorization.
    rec = Recorder();
    Make();
    agent->Start(0);
    Answer(407, "Proxy Authentication Required",
           "Proxy-Authenticate: Digest realm=\"p\", nonce=\"p1\"\r\n");
    EXPECT_NE("", HeaderOf(rec.sent[1].text, "Proxy-Authorization"));
    EXPECT_EQ("", HeaderOf(rec.sent[1].text, "Authorization"));
}

TEST_F(Agent, IntervalTooBriefAndTheGrantedLifetime) {
    set.expires = 30;
    Make();
    agent->Start(0);
    Answer(423, "Interval Too Brief", "Min-Expires: 120\r\n");
    EXPECT_EQ("120", HeaderOf(rec.sent.back().text, "Expires"));
    // The registrar lists other bindings of the account too: ours counts.
    Answer(200, "OK",
           "Contact: <sip:8001@127.0.0.1:6000>;expires=3600\r\n"
           "Contact: <" +
               agent->ContactUri() + ">;expires=100\r\nExpires: 3600\r\n");
    EXPECT_EQ("registered:0", Kinds());
    EXPECT_EQ(100u, agent->GrantedExpires());
    EXPECT_GE(agent->RefreshAt(), 85000u);
    EXPECT_LE(agent->RefreshAt(), 90000u);

    // Only an Expires header: that one.
    rec = Recorder();
    Make();
    agent->Start(0);
    Answer(200, "OK", "Expires: 45\r\n");
    EXPECT_EQ(45u, agent->GrantedExpires());
    // 423 without a larger Min-Expires passes through.
    rec = Recorder();
    Make();
    agent->Start(0);
    Answer(423, "Interval Too Brief");
    EXPECT_EQ("failed:423", Kinds());
}

TEST_F(Agent, RefreshesBeforeExpiryAndRetriesWithAGrowingBackOff) {
    set.transactionTimeoutMs = 1000;
    set.retryFirstMs = 2000;
    set.retryMaxMs = 10000;
    set.retries = 4;
    Make(1);
    Register(60);
    uint64_t refresh = agent->RefreshAt();
    EXPECT_GE(refresh, 51000u);
    EXPECT_LE(refresh, 54000u);
    RunTo(refresh);
    ASSERT_EQ(3u, rec.sent.size());
    EXPECT_FALSE(rec.sent[2].again);
    // The refresh carries the credentials of the last challenge, counted on.
    std::vector<Param> p = ParseParams(HeaderOf(rec.sent[2].text, "Authorization"), 6, ',');
    EXPECT_EQ("n1", FindParam(p, "nonce"));
    EXPECT_EQ("00000002", FindParam(p, "nc"));
    EXPECT_EQ(HeaderOf(rec.sent[0].text, "Call-ID"), HeaderOf(rec.sent[2].text, "Call-ID"));
    EXPECT_EQ("3 REGISTER", HeaderOf(rec.sent[2].text, "CSeq"));

    // No answer to the refresh nor to any retry.
    RunTo(refresh + 200000);
    EXPECT_EQ("registered:0 failing:408 failing:408 failing:408 failing:408 failed:408", Kinds());
    EXPECT_TRUE(rec.reports.back().wasRegistered);
    uint64_t previous = 0;
    for (size_t i = 1; i <= 4; ++i) {
        uint64_t full = std::min<uint64_t>(2000ull << (i - 1), 10000);
        SCOPED_TRACE(i);
        EXPECT_EQ(i, rec.reports[i].retry);
        EXPECT_LE(rec.reports[i].retryInMs, full);
        EXPECT_GE(rec.reports[i].retryInMs, full * 9 / 10);
        EXPECT_GT(rec.reports[i].retryInMs, previous) << "the back-off grows";
        previous = rec.reports[i].retryInMs;
    }
    size_t sends = rec.sent.size();
    RunTo(refresh + 400000);
    EXPECT_EQ(sends, rec.sent.size()) << "given up: nothing more is sent";

    // A refusal on a refresh is not retried; a retry that gets through
    // recovers.
    rec = Recorder();
    Make(1);
    Register(60);
    RunTo(agent->RefreshAt());
    Answer(403, "Forbidden");
    EXPECT_EQ("registered:0 failed:403", Kinds());
    rec = Recorder();
    Make(1);
    Register(60);
    RunTo(agent->RefreshAt() + 1000);
    RunTo(agent->Deadline());
    Answer(200, "OK", "Expires: 60\r\n");
    EXPECT_EQ("registered:0 failing:408 recovered:0", Kinds());
    EXPECT_EQ(RegistrationAgent::Phase::Registered, agent->GetPhase());
}

TEST_F(Agent, RportAndReceivedMoveTheContact) {
    Make();
    agent->Start(0);
    std::string answer = AnswerTo(rec.sent.back().text, 200, "OK");
    answer.replace(answer.find(";received=127.0.0.1"), 19, ";received=127.0.0.9");
    answer.replace(answer.find("rport=5062"), 10, "rport=40000");
    Deliver(answer);
    EXPECT_TRUE(rec.reports.empty()) << "registered at the address the registrar saw first";
    ASSERT_EQ(2u, rec.sent.size());
    EXPECT_EQ((std::vector<std::string>{"<sip:8001@127.0.0.9:40000>",
                                        "<sip:8001@127.0.0.1:5062>;expires=0"}),
              HeadersOf(rec.sent[1].text, "Contact"));
    EXPECT_EQ(0u, HeaderOf(rec.sent[1].text, "Via").find("SIP/2.0/UDP 127.0.0.1:5062;rport"))
        << "the Via keeps the socket's own address";
    std::string again = AnswerTo(rec.sent.back().text, 200, "OK");
    again.replace(again.find(";received=127.0.0.1"), 19, ";received=127.0.0.9");
    again.replace(again.find("rport=5062"), 10, "rport=40000");
    Deliver(again);
    EXPECT_EQ("registered:0", Kinds());
    EXPECT_EQ("sip:8001@127.0.0.9:40000", agent->ContactUri());
}

TEST_F(Agent, UnregistersWithExpiresZero) {
    Make();
    Register();
    ASSERT_TRUE(agent->Stop(rec.now));
    EXPECT_EQ("0", HeaderOf(rec.sent.back().text, "Expires"));
    EXPECT_NE("", HeaderOf(rec.sent.back().text, "Authorization")) << "credentials up front";
    Answer(200, "OK");
    EXPECT_EQ("registered:0 unregistered:0", Kinds());
    EXPECT_FALSE(agent->Stop(rec.now)) << "nothing left to end";

    // A registrar that does not answer ends the unregistration at the timeout.
    rec = Recorder();
    Make();
    Register();
    agent->Stop(rec.now);
    RunTo(rec.now + 10000);
    EXPECT_EQ("registered:0 unregistered:408", Kinds());
    EXPECT_EQ(2u, rec.sent.size() - 2 - 1) << "retransmitted meanwhile, to the main address only";
    for (size_t i = 2; i < rec.sent.size(); ++i)
        EXPECT_EQ("127.0.0.1:5070", rec.sent[i].to);

    // Never registered: nothing to say.
    rec = Recorder();
    Make();
    EXPECT_FALSE(agent->Stop(0));
    EXPECT_TRUE(rec.sent.empty());
}

TEST_F(Agent, ResponsesOfOtherTransactionsAreNotTaken) {
    Make();
    agent->Start(0);
    std::string good = AnswerTo(rec.sent.back().text, 200, "OK");
    auto changed = [&](const std::string& from, const std::string& to) {
        std::string s = good;
        s.replace(s.find(from), from.size(), to);
        return s;
    };
    std::string branch = HeaderOf(rec.sent.back().text, "Via");
    branch = branch.substr(branch.find("branch=") + 7);
    const std::pair<std::string, RegistrationAgent::Match> cases[] = {
        {changed(HeaderOf(good, "Call-ID"), "other@127.0.0.1"),
         RegistrationAgent::Match::WrongCallId},
        {changed("CSeq: 1 REGISTER", "CSeq: 2 REGISTER"), RegistrationAgent::Match::WrongCSeq},
        {changed("CSeq: 1 REGISTER", "CSeq: 1 OPTIONS"), RegistrationAgent::Match::WrongCSeq},
        {changed(branch, "z9hG4bKother"), RegistrationAgent::Match::WrongBranch},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchName(c.second), std::string(MatchName(Deliver(c.first))));
        EXPECT_TRUE(rec.reports.empty());
    }
    EXPECT_EQ(RegistrationAgent::Match::Taken, Deliver(good));
    EXPECT_EQ(MatchName(RegistrationAgent::Match::WrongCSeq), std::string(MatchName(Deliver(good))))
        << "the transaction is over: a repeated answer belongs to none";
    EXPECT_EQ("registered:0", Kinds());
}

// ---------------------------------------------------------------------------
// Saved passwords at rest

TEST(ProtectedPasswords, NeverStoredAsPlainText) {
    const std::wstring plain = L"S3cret-8001! 密码";
    std::wstring stored = ProtectText(plain);
    EXPECT_EQ(0u, stored.find(L"dpapi:"));
    EXPECT_EQ(std::wstring::npos, stored.find(L"S3cret"));
    EXPECT_NE(stored, ProtectText(plain)) << "a new blob each time";
    bool wasPlain = true;
    EXPECT_EQ(plain, UnprotectText(stored, &wasPlain));
    EXPECT_FALSE(wasPlain);
    EXPECT_EQ(L"older-plain", UnprotectText(L"older-plain", &wasPlain));
    EXPECT_TRUE(wasPlain) << "an older file's value is read, and known to be plain";
    EXPECT_EQ(L"", ProtectText(L""));
    EXPECT_EQ(L"", UnprotectText(L"", &wasPlain));
    EXPECT_FALSE(wasPlain);
    EXPECT_EQ(L"", UnprotectText(L"dpapi:!!not base64!!"));
    EXPECT_EQ(L"", UnprotectText(L"dpapi:" + stored.substr(6, 20)))
        << "a damaged blob gives nothing, never garbage";
}

} // namespace
