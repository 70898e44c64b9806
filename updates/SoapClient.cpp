#include "updates/SoapClient.h"
#include "document/WellFormedXml.h"

namespace
{
const char* const envelopeNamespace = "http://schemas.xmlsoap.org/soap/envelope/";
const char* const serviceNamespace = "http://vantorel.example/versions/";
const char* const serviceContract = "ICorvadineService";

// A version answer is a few hundred bytes; anything far larger is not our service.
constexpr int maxReplyBytes = 1 << 20;
constexpr int maxRedirects = 5;

const juce::XmlElement* firstChildElement (const juce::XmlElement& parent)
{
    for (auto* child : parent.getChildIterator())
        if (!child->isTextElement())
            return child;

    return nullptr;
}
} // namespace

const juce::XmlElement* findSoapChild (const juce::XmlElement& parent, const juce::String& tagName)
{
    for (auto* child : parent.getChildIterator())
        if (child->getTagName() == tagName)
            return child;

    return nullptr;
}

VersionEndpoint VersionEndpoint::builtIn()
{
    VersionEndpoint endpoint;
    endpoint.host = "http://versions.vantorel.example";
    endpoint.servicePath = "CorvadineService.svc";
    return endpoint;
}

juce::String buildSoapEnvelope (const juce::String& operation)
{
    return juce::String ("<s:Envelope xmlns:s=\"") + envelopeNamespace + "\"><s:Body><" + operation +
           " xmlns=\"" + serviceNamespace + "\"/></s:Body></s:Envelope>";
}

juce::String getSoapAction (const juce::String& operation)
{
    return juce::String ("\"") + serviceNamespace + serviceContract + "/" + operation + "\"";
}

bool postSoapRequest (const juce::String& operation, const juce::String& envelope,
                      const VersionEndpoint& endpoint, juce::MemoryBlock& reply, RequestCanceller* canceller)
{
    reply.reset();

    const auto url = juce::URL (endpoint.host + "/" + endpoint.servicePath).withPOSTData (envelope);
    juce::WebInputStream stream (url, true);
    stream
        .withExtraHeaders ("SOAPAction: " + getSoapAction (operation) + "\r\n" +
                           "Content-Type: text/xml; charset=utf-8\r\n")
        .withConnectionTimeout (endpoint.timeOutSeconds * 1000)
        .withNumRedirectsToFollow (maxRedirects);

    if (canceller != nullptr && !canceller->attach (stream))
        return false;

    juce::MemoryOutputStream body;
    bool answered = stream.connect (nullptr) && !stream.isError() && stream.getStatusCode() >= 200 &&
                    stream.getStatusCode() <= 299;

    if (answered)
        answered = body.writeFromInputStream (stream, maxReplyBytes + 1) <= maxReplyBytes;

    if (canceller != nullptr)
    {
        canceller->detach();

        // A cancelled exchange ends early with whatever had come; none of it counts.
        if (canceller->isCancelled())
            return false;
    }

    if (!answered)
        return false;

    reply = body.getMemoryBlock();
    return true;
}

const juce::XmlElement* findSoapResult (const juce::XmlElement& answerRoot)
{
    if (!answerRoot.getTagName().equalsIgnoreCase ("s:Envelope"))
        return nullptr;

    auto* body = findSoapChild (answerRoot, "s:Body");

    if (body == nullptr)
        return nullptr;

    auto* response = firstChildElement (*body);

    if (response == nullptr || !response->getTagName().contains ("Response"))
        return nullptr;

    auto* result = firstChildElement (*response);

    if (result == nullptr || !result->getTagName().contains ("Result"))
        return nullptr;

    return result;
}

juce::String readSoapResult (const juce::MemoryBlock& reply)
{
    auto answer = parseWellFormedXml (reply.getData(), reply.getSize());

    if (answer == nullptr)
        return {};

    auto* result = findSoapResult (*answer);

    if (result == nullptr)
        return {};

    return result->toString();
}

juce::String callSoapOperation (const VersionEndpoint& endpoint, const juce::String& operation,
                                RequestCanceller* canceller)
{
    juce::MemoryBlock reply;

    if (!postSoapRequest (operation, buildSoapEnvelope (operation), endpoint, reply, canceller))
        return {};

    return readSoapResult (reply);
}

juce::String callGetVersionsAndInfo (const VersionEndpoint& endpoint, RequestCanceller* canceller)
{
    return callSoapOperation (endpoint, "ZeltaGetVersionsAndInfo", canceller);
}
