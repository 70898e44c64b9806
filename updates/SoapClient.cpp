#include "updates/SoapClient.h"

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
                      const VersionEndpoint& endpoint, juce::String& reply)
{
    reply.clear();

    const auto url = juce::URL (endpoint.host + "/" + endpoint.servicePath).withPOSTData (envelope);
    const auto headers =
        "SOAPAction: " + getSoapAction (operation) + "\r\n" + "Content-Type: text/xml; charset=utf-8\r\n";
    int statusCode = 0;

    auto stream =
        url.createInputStream (juce::URL::InputStreamOptions (juce::URL::ParameterHandling::inPostData)
                                   .withExtraHeaders (headers)
                                   .withConnectionTimeoutMs (endpoint.timeOutSeconds * 1000)
                                   .withNumRedirectsToFollow (maxRedirects)
                                   .withStatusCode (&statusCode));

    if (stream == nullptr || statusCode < 200 || statusCode > 299)
        return false;

    juce::MemoryOutputStream body;

    if (body.writeFromInputStream (*stream, maxReplyBytes + 1) > maxReplyBytes)
        return false;

    reply = body.toUTF8();
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

juce::String callSoapOperation (const VersionEndpoint& endpoint, const juce::String& operation)
{
    juce::String reply;

    if (!postSoapRequest (operation, buildSoapEnvelope (operation), endpoint, reply) || reply.isEmpty())
        return {};

    auto answer = juce::parseXML (reply);

    if (answer == nullptr)
        return {};

    auto* result = findSoapResult (*answer);

    if (result == nullptr)
        return {};

    return result->toString();
}

juce::String callGetVersionsAndInfo (const VersionEndpoint& endpoint)
{
    return callSoapOperation (endpoint, "ZeltaGetVersionsAndInfo");
}
