#pragma once

#include "updates/VersionCheck.h"

#include <juce_core/juce_core.h>
#include <atomic>
#include <thread>

// Test support: a one-shot HTTP server on 127.0.0.1 standing in for the version
// service. It answers one connection with the given raw bytes (an empty answer
// hangs up without a word) and stops; it also stops by itself when nobody comes
// within a few seconds. A silent one takes the request and then keeps the connection
// open without a word, like a service that never answers.
class LoopbackVersionService
{
public:
    struct Silent
    {
    };

    // Longer than any test waits for a client: reaching it means the client did not let go.
    static constexpr juce::uint32 silentHoldMs = 120000;

    struct ReceivedRequest
    {
        juce::String head; // request line and headers
        juce::String body;
    };

    explicit LoopbackVersionService (const juce::String& answerToGive)
        : LoopbackVersionService (
              juce::MemoryBlock (answerToGive.toRawUTF8(), answerToGive.getNumBytesAsUTF8()))
    {
    }

    // Any bytes, as whoever answers in the service's place may send.
    explicit LoopbackVersionService (const juce::MemoryBlock& answerToGive) : answer (answerToGive)
    {
        if (socket.createListener (0, "127.0.0.1"))
            thread = std::thread ([this] { serve(); });
    }

    explicit LoopbackVersionService (Silent) : silent (true)
    {
        if (socket.createListener (0, "127.0.0.1"))
            thread = std::thread ([this] { serve(); });
    }

    ~LoopbackVersionService()
    {
        released.signal();
        finish();
    }

    // Silent service: true once the whole request has come.
    bool hasRequest() const { return requestComplete; }
    // Silent service: true once the client closed the connection.
    bool clientHungUp() const { return hungUp; }
    // Silent service: true when it let the connection go after silentHoldMs.
    bool gaveUp() const { return heldTooLong; }

    VersionEndpoint endpoint() const
    {
        VersionEndpoint e;
        e.host = "http://127.0.0.1:" + juce::String (socket.getBoundPort());
        e.servicePath = "CorvadineService.svc";
        return e;
    }

    // Waits until the one exchange is over.
    const ReceivedRequest& finish()
    {
        if (thread.joinable())
            thread.join();

        return request;
    }

    juce::String receivedHeader (const juce::String& name)
    {
        finish();
        return header (name);
    }

    static juce::String httpAnswer (const juce::String& body, const juce::String& status = "200 OK")
    {
        return httpHead (body.getNumBytesAsUTF8(), status) + body;
    }

    static juce::MemoryBlock httpAnswer (const juce::MemoryBlock& body)
    {
        const auto head = httpHead (body.getSize(), "200 OK");
        juce::MemoryBlock whole (head.toRawUTF8(), head.getNumBytesAsUTF8());
        whole.append (body.getData(), body.getSize());
        return whole;
    }

    static juce::String soapAnswer (const juce::String& resultElement)
    {
        return "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body>"
               "<ZeltaGetVersionsAndInfoResponse xmlns=\"http://vantorel.example/versions/\">" +
               resultElement + "</ZeltaGetVersionsAndInfoResponse></s:Body></s:Envelope>";
    }

    static juce::String versionsResult (const juce::String& earliest, const juce::String& latest)
    {
        return "<ZeltaGetVersionsAndInfoResult xmlns:a=\"http://vantorel.example/versions/data\">"
               "<a:EarliestCompatibleVersion>" +
               earliest + "</a:EarliestCompatibleVersion><a:LatestVersion>" + latest +
               "</a:LatestVersion></ZeltaGetVersionsAndInfoResult>";
    }

    // A well-formed answer carrying the two revisions.
    static juce::String versionsAnswer (int earliestCompatible, int latest)
    {
        return httpAnswer (
            soapAnswer (versionsResult (juce::String (earliestCompatible), juce::String (latest))));
    }

private:
    static juce::String httpHead (size_t bodyBytes, const juce::String& status)
    {
        return "HTTP/1.1 " + status + "\r\nContent-Type: text/xml; charset=utf-8\r\nContent-Length: " +
               juce::String ((juce::int64)bodyBytes) + "\r\nConnection: close\r\n\r\n";
    }

    void serve()
    {
        const auto deadline = juce::Time::getMillisecondCounter() + 8000;

        while (socket.waitUntilReady (true, 50) != 1)
            if (juce::Time::getMillisecondCounter() > deadline || released.wait (0))
                return;

        std::unique_ptr<juce::StreamingSocket> client (socket.waitForNextConnection());

        if (client == nullptr)
            return;

        juce::MemoryOutputStream received;

        while (juce::Time::getMillisecondCounter() < deadline)
        {
            char buffer[4096];

            if (client->waitUntilReady (true, 50) != 1)
                continue;

            const auto n = client->read (buffer, sizeof (buffer), false);

            if (n <= 0)
                break;

            received.write (buffer, (size_t)n);
            const auto text = received.toString();
            const auto headEnd = text.indexOf ("\r\n\r\n");

            if (headEnd >= 0)
            {
                request.head = text.substring (0, headEnd);
                request.body = text.substring (headEnd + 4);
                const auto length = header ("Content-Length").getIntValue();

                if ((int)request.body.getNumBytesAsUTF8() >= length)
                    break;
            }
        }

        if (silent)
        {
            requestComplete = true;
            holdSilently (*client);
        }
        else if (!answer.isEmpty())
        {
            client->write (answer.getData(), (int)answer.getSize());
        }

        client->close();
    }

    void holdSilently (juce::StreamingSocket& client)
    {
        const auto holdEnd = juce::Time::getMillisecondCounter() + silentHoldMs;

        while (!released.wait (20))
        {
            char byte = 0;

            if (client.waitUntilReady (true, 0) == 1 && client.read (&byte, 1, false) <= 0)
            {
                hungUp = true;
                return;
            }

            if (juce::Time::getMillisecondCounter() > holdEnd)
            {
                heldTooLong = true;
                return;
            }
        }
    }

    juce::String header (const juce::String& name) const
    {
        for (auto& line : juce::StringArray::fromLines (request.head))
            if (line.upToFirstOccurrenceOf (":", false, false).equalsIgnoreCase (name))
                return line.fromFirstOccurrenceOf (":", false, false).trim();

        return {};
    }

    juce::MemoryBlock answer;
    const bool silent = false;
    std::atomic<bool> requestComplete{ false }, hungUp{ false }, heldTooLong{ false };
    juce::WaitableEvent released;
    juce::StreamingSocket socket;
    std::thread thread;
    ReceivedRequest request;
};
