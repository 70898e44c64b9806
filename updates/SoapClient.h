#pragma once

#include "updates/RequestCanceller.h"

#include <juce_core/juce_core.h>

// Where the version service lives and how long a start-up may wait for it.
struct VersionEndpoint
{
    // The built-in service. Its host never resolves on a machine without a
    // matching name server, so such a start-up is not held up.
    static VersionEndpoint builtIn();

    juce::String host;        // scheme and host, e.g. "http://versions.vantorel.example"
    juce::String servicePath; // "CorvadineService.svc"
    // Connection (and stalled-transfer) time-out. The program asks on a thread of its own,
    // which a closing window cancels, so the service may be slow.
    int timeOutSeconds = 30;
};

// A SOAP 1.1 client for the version service: one operation, no arguments.

// The request body: an empty element named after the operation in the
// service's namespace, on one line, without an XML declaration.
juce::String buildSoapEnvelope (const juce::String& operation);

// The SOAPAction header value, quoted: the service namespace, the contract
// name, "/" and the operation.
juce::String getSoapAction (const juce::String& operation);

// POSTs the envelope to host + "/" + service path. False when no answer came, the
// server answered with an HTTP error, the answer was unreasonably large or the
// canceller (optional) was cancelled; otherwise `reply` holds the whole answer, as sent.
bool postSoapRequest (const juce::String& operation, const juce::String& envelope,
                      const VersionEndpoint& endpoint, juce::MemoryBlock& reply,
                      RequestCanceller* canceller = nullptr);

// The result element of an answer (Envelope / Body / first child containing
// "Response" / its first child containing "Result"), or null when the answer
// has another shape.
const juce::XmlElement* findSoapResult (const juce::XmlElement& answerRoot);

// The first child element whose tag is exactly `tagName` (the framework's own
// lookup ignores case; XML does not).
const juce::XmlElement* findSoapChild (const juce::XmlElement& parent, const juce::String& tagName);

// The result element of a whole answer written out as an XML document; empty unless the
// answer is a well-formed UTF-8 document of the expected shape. Anyone who can answer in the
// service's place chooses these bytes.
juce::String readSoapResult (const juce::MemoryBlock& reply);

// Calls the operation and returns its result element written out as an XML
// document; empty on any failure.
juce::String callSoapOperation (const VersionEndpoint& endpoint, const juce::String& operation,
                                RequestCanceller* canceller = nullptr);

// callSoapOperation with "ZeltaGetVersionsAndInfo".
juce::String callGetVersionsAndInfo (const VersionEndpoint& endpoint, RequestCanceller* canceller = nullptr);
