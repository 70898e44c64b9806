#include "testing/http/LoopbackVersionService.h"
#include "updates/VersionCheck.h"

#include <gtest/gtest.h>
#include <atomic>
#include <cstring>
#include <thread>

namespace
{
using LoopbackServer = LoopbackVersionService;

juce::String httpAnswer (const juce::String& body, const juce::String& status = "200 OK")
{
    return LoopbackVersionService::httpAnswer (body, status);
}

juce::String soapAnswer (const juce::String& resultElement)
{
    return LoopbackVersionService::soapAnswer (resultElement);
}

juce::String versionsResult (const juce::String& earliest, const juce::String& latest)
{
    return LoopbackVersionService::versionsResult (earliest, latest);
}

// One check of revision 927 against a server giving `answer`.
template <typename Answer> std::pair<int, VersionInfo> checkAgainst (const Answer& answer)
{
    LoopbackServer server (answer);
    VersionCheck check (927, server.endpoint());
    return { check.getStatus(), check.getInfo() };
}
} // namespace

TEST (VersionCheck, RequestIsASoapPostOfTheOperation)
{
    LoopbackServer server (httpAnswer (soapAnswer (versionsResult ("900", "927"))));
    VersionCheck check (927, server.endpoint());
    const auto& request = server.finish();

    EXPECT_EQ (check.getStatus(), VersionCheck::current);
    EXPECT_TRUE (request.head.startsWith ("POST /CorvadineService.svc HTTP/1.")) << request.head;
    EXPECT_EQ (server.receivedHeader ("Content-Type"), "text/xml; charset=utf-8");

    // One line, no declaration, one empty operation element in the service's namespace.
    EXPECT_TRUE (
        request.body.startsWith ("<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\">"))
        << request.body;
    EXPECT_FALSE (request.body.containsAnyOf ("\r\n"));
    auto envelope = juce::parseXML (request.body);
    ASSERT_NE (envelope, nullptr);
    auto* body = envelope->getChildByName ("s:Body");
    ASSERT_TRUE (body != nullptr && body->getNumChildElements() == 1);
    auto* operation = body->getChildElement (0);
    EXPECT_EQ (operation->getTagName(), "ZeltaGetVersionsAndInfo");
    EXPECT_EQ (operation->getNumChildElements(), 0);
    const auto serviceNamespace = operation->getStringAttribute ("xmlns");
    EXPECT_TRUE (serviceNamespace.startsWith ("http://"));

    // The action names the operation of the contract in that same namespace, quoted.
    EXPECT_EQ (server.receivedHeader ("SOAPAction"),
               "\"" + serviceNamespace + "ICorvadineService/ZeltaGetVersionsAndInfo\"");
}

TEST (VersionCheck, StatusFollowsTheRevisionsOfTheAnswer)
{
    struct Case
    {
        const char *earliest, *latest;
        int status, readEarliest, readLatest;
    };

    const Case cases[] = {
        { "900", "930", VersionCheck::updateAvailable, 900, 930 },
        { "930", "930", VersionCheck::mustUpdate, 930, 930 },
        { "928", "927", VersionCheck::mustUpdate, 928, 927 },
        { "900", "927", VersionCheck::current, 900, 927 },
        { " 900\n", "\t931 ", VersionCheck::updateAvailable, 900, 931 }, // trimmed
        { "-5", "-1", VersionCheck::current, -5, -1 },                   // signed
        { "99999999999", "12abc", VersionCheck::current, 0, 0 },         // not numbers that fit
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.earliest) + " / " + c.latest);
        auto [status, info] = checkAgainst (httpAnswer (soapAnswer (versionsResult (c.earliest, c.latest))));
        EXPECT_EQ (status, c.status);
        EXPECT_EQ (info.mustUpdate, c.status == VersionCheck::mustUpdate);
        EXPECT_EQ (info.updateAvailable, c.readLatest > 927);
        EXPECT_EQ (info.earliestCompatibleRevision, c.readEarliest);
        EXPECT_EQ (info.latestRevision, c.readLatest);
    }

    // A missing field reads as 0; field names are matched exactly.
    auto [status, info] = checkAgainst (httpAnswer (soapAnswer (
        "<ZeltaGetVersionsAndInfoResult><a:LatestVersion>950</a:LatestVersion>"
        "<a:earliestcompatibleversion>990</a:earliestcompatibleversion></ZeltaGetVersionsAndInfoResult>")));
    EXPECT_EQ (info.earliestCompatibleRevision, 0);
    EXPECT_EQ (info.latestRevision, 950);
    EXPECT_EQ (status, VersionCheck::updateAvailable);
}

TEST (VersionCheck, AnswersOfAnotherShapeGiveNoAnswer)
{
    const auto pretty =
        juce::String ("<?xml version=\"1.0\"?>\n<S:ENVELOPE>\n <s:Body>\n  "
                      "<ZeltaGetVersionsAndInfoResponse>\n   <ZeltaGetVersionsAndInfoResult>\n"
                      "<a:LatestVersion>1000</a:LatestVersion>\n   </ZeltaGetVersionsAndInfoResult>\n"
                      "  </ZeltaGetVersionsAndInfoResponse>\n </s:Body>\n</S:ENVELOPE>\n");

    // Laid out over lines, with the envelope's tag in another case: still read.
    EXPECT_EQ (checkAgainst (httpAnswer (pretty)).first, VersionCheck::updateAvailable);

    const juce::String bodies[] = {
        pretty.replace ("s:Body", "S:BODY"), // only the envelope's tag ignores case
        "<s:Envelope><s:Body><s:Fault><faultcode>s:Client</faultcode></s:Fault></s:Body></s:Envelope>",
        soapAnswer ("<ZeltaGetVersionsAndInfoRESULT><a:LatestVersion>999</a:LatestVersion>"
                    "</ZeltaGetVersionsAndInfoRESULT>"),
        soapAnswer ("<OtherResult><a:LatestVersion>999</a:LatestVersion></OtherResult>"),
        soapAnswer ("<Nothing/>"),
        soapAnswer (""),
        "<Envelope><s:Body/></Envelope>",
        "this is not xml <<<",
        "",
    };

    for (const auto& body : bodies)
    {
        SCOPED_TRACE (body);
        auto [status, info] = checkAgainst (httpAnswer (body));
        EXPECT_EQ (status, VersionCheck::noAnswer);
        EXPECT_FALSE (info.serviceReached);
        EXPECT_EQ (info.latestRevision, 0);
    }
}

// Whoever answers the service's address chooses these bytes: neither the framework's parser, which
// reads past the end of the first two, nor the result may take them in.
TEST (VersionCheck, AnswersThatAreNotStrictlyEncodedXmlGiveNoAnswer)
{
    // A good answer, with these bytes in a text of its result.
    const auto answerHolding = [] (const char* raw)
    {
        juce::MemoryOutputStream body;
        const auto around =
            soapAnswer (versionsResult ("900", "950").replace ("</Zelta", "<a:Note>@</a:Note></Zelta"));
        body << around.upToFirstOccurrenceOf ("@", false, false);
        body.write (raw, std::strlen (raw));
        body << around.fromFirstOccurrenceOf ("@", false, false);
        return body.getMemoryBlock();
    };
    ASSERT_EQ (checkAgainst (LoopbackVersionService::httpAnswer (answerHolding ("1"))).first,
               VersionCheck::updateAvailable);

    juce::MemoryBlock runInEndTag ("<a></", 5);
    for (int i = 0; i < 20; ++i)
        runInEndTag.append ("\xfc", 1);
    runInEndTag.append (">", 1);

    auto withNul = answerHolding ("1");
    withNul.append ("\0<x>", 4);

    const juce::MemoryBlock bodies[] = {
        { "<m>&#x", 6 },
        runInEndTag,
        withNul,
        answerHolding ("\xc0\xaf"),     // an overlong '/'
        answerHolding ("\xed\xa0\x80"), // a surrogate
        answerHolding ("\xe2\x82"),     // a cut sequence
    };

    for (size_t i = 0; i < std::size (bodies); ++i)
    {
        SCOPED_TRACE (i);
        auto [status, info] = checkAgainst (LoopbackVersionService::httpAnswer (bodies[i]));
        EXPECT_EQ (status, VersionCheck::noAnswer);
        EXPECT_EQ (info.latestRevision, 0);
    }
}

TEST (VersionCheck, TransportFailuresGiveNoAnswer)
{
    // A well-formed answer carried by an HTTP error status is not believed.
    EXPECT_EQ (
        checkAgainst (httpAnswer (soapAnswer (versionsResult ("900", "930")), "500 Internal Server Error"))
            .first,
        VersionCheck::noAnswer);
    // The server hangs up without a word, or in the middle of its answer.
    EXPECT_EQ (checkAgainst ("").first, VersionCheck::noAnswer);
    EXPECT_EQ (checkAgainst ("HTTP/1.1 200 OK\r\nContent-Length: 500\r\n\r\n<s:Envelope><s:Bo").first,
               VersionCheck::noAnswer);

    // Nobody listens on the port.
    VersionEndpoint refused;
    {
        juce::StreamingSocket probe;
        ASSERT_TRUE (probe.createListener (0, "127.0.0.1"));
        refused.host = "http://127.0.0.1:" + juce::String (probe.getBoundPort());
    }
    refused.servicePath = "CorvadineService.svc";
    EXPECT_EQ (VersionCheck (927, refused).getStatus(), VersionCheck::noAnswer);
}

TEST (VersionCheck, BuiltInServiceIsOursAndUnreachableHereGivesNoAnswer)
{
    auto builtIn = VersionEndpoint::builtIn();
    EXPECT_EQ (builtIn.host + "/" + builtIn.servicePath,
               "http://versions.vantorel.example/CorvadineService.svc");
    EXPECT_EQ (builtIn.timeOutSeconds, 30);

    VersionCheck check (927);
    EXPECT_EQ (check.getStatus(), VersionCheck::noAnswer);
    EXPECT_FALSE (check.getInfo().mustUpdate || check.getInfo().updateAvailable);
}

// Waits up to a generous limit for a condition set by another thread.
template <typename Condition> bool eventually (Condition condition)
{
    for (int i = 0; i < 2000 && !condition(); ++i)
        juce::Thread::sleep (10);

    return condition();
}

TEST (VersionCheck, ACancelledCheckLetsGoOfASilentServiceAtOnce)
{
    LoopbackServer service{ LoopbackServer::Silent() };
    auto endpoint = service.endpoint();
    endpoint.timeOutSeconds = 3600; // only the cancel can end the wait

    RequestCanceller canceller;
    std::atomic<int> status{ -1 };
    std::thread checking ([&] { status = VersionCheck (927, endpoint, &canceller).getStatus(); });

    ASSERT_TRUE (eventually ([&] { return service.hasRequest(); }));
    canceller.cancel();
    checking.join();

    EXPECT_EQ (status, VersionCheck::noAnswer);
    EXPECT_FALSE (service.gaveUp()) << "the check waited for the service instead of ending";
    EXPECT_TRUE (eventually ([&] { return service.clientHungUp(); }));

    // Once cancelled, no request goes out at all.
    LoopbackServer unused{ LoopbackServer::Silent() };
    EXPECT_EQ (VersionCheck (927, unused.endpoint(), &canceller).getStatus(), VersionCheck::noAnswer);
    EXPECT_FALSE (unused.hasRequest());
}
